// Base of a test case of a program built on the library: a derived test prepares itself in
// initializeTest and runs in runTest, each saying whether it succeeded. The library runs no
// tests itself.
#ifndef OIVWINTAV_OIVBASEUNITTEST_H
#define OIVWINTAV_OIVBASEUNITTEST_H

class OivBaseUnitTest {
public:
    OivBaseUnitTest();
    // Virtual: tests are kept and deleted as this base.
    virtual ~OivBaseUnitTest();

    // Both do nothing here and report success.
    virtual bool initializeTest();
    virtual bool runTest();
};

#endif // OIVWINTAV_OIVBASEUNITTEST_H
