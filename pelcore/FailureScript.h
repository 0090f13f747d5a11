// Scripted failures: the nth call of a function (counted from the scripting) fails.
#pragma once
#include "pelcore/SimApi.h"

class FailureScript {
public:
    void Add(const char* function, unsigned nth, ComStatus status, bool always);
    void Clear() { m_rules.clear(); }
    // Counts one call of the function; true and the status when it is to fail.
    bool Match(const char* function, ComStatus* status);

private:
    struct Rule {
        std::string function;
        unsigned nth;
        ComStatus status;
        bool always;
        unsigned seen;
    };
    std::vector<Rule> m_rules;
};
