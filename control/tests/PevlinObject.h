#pragma once
// The test's own copy of the control class, whose state block the test can read.
#include "ControlTestSupport.h"
#include "Cpevlin.h"

class PevlinObject : public ComApartment {
protected:
    void SetUp() override
    {
        ComApartment::SetUp();
        m_control = new Cpevlin;
        m_control->AddRef();
    }
    void TearDown() override
    {
        m_control->Release();
        ComApartment::TearDown();
    }

    Cpevlin* m_control = nullptr;
};
