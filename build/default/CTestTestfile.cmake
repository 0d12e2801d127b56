# CMake generated Testfile for 
# Source directory: /work/main
# Build directory: /work/main/build/default
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
subdirs("platform/com")
subdirs("platform/ado")
subdirs("platform/ui")
subdirs("framework")
subdirs("host")
subdirs("app")
subdirs("tests")
subdirs("bench")
