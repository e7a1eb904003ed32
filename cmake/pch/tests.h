// GoogleTest and GoogleMock, on top of the standard headers, for every test program.
#pragma GCC system_header
#include "standard.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
