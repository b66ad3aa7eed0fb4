#pragma once
#include <string>

// Absolute path of a file under tests/data.
std::string TestData(const std::string& name);

// A fresh, empty scratch directory for one test binary run; removed at exit.
std::string ScratchDir();
