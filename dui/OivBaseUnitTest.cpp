#include "dui/OivBaseUnitTest.h"

OivBaseUnitTest::OivBaseUnitTest() {}

OivBaseUnitTest::~OivBaseUnitTest() {}

bool OivBaseUnitTest::initializeTest() {
    return true;
}

bool OivBaseUnitTest::runTest() {
    return true;
}
