#pragma once
// What the open window holds per criterion: the process's resident memory after opening it on
// a company's criteria, minus before, divided by the rows.

namespace bench {

struct WindowMemory {
    double bytesPerCriterion;
    double textBytesPerCriterion;  // of the description and the structure, as stored
};

// Measured in this process, which must not have opened a window on that many rows before.
WindowMemory MeasureWindowMemory(int criteria);

}  // namespace bench
