// Constants several test files use, defined once: the test files also compile together in
// batches, where a second definition of the same name would not compile.
#pragma once

constexpr double kPi = 3.141592653589793;
