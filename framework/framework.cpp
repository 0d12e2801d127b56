// The host framework library; its objects are spread over this folder, controls/ and frame/.
