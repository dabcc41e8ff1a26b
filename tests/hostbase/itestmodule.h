#pragma once

#include "base/idllinstance.h"

#include <QString>

// The interface that TestModule's instances provide.
class ITestModule : public IDllInstance
{
public:
    virtual QString GetText() const = 0;
};
