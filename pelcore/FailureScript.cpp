// The scripted failures of the simulated camera.
#include "pelcore/FailureScript.h"

void FailureScript::Add(const char* function, unsigned nth, ComStatus status, bool always)
{
    if (!function) return;
    m_rules.push_back(Rule{function, nth, status, always, 0});
}

// Every rule of the function counts the call; the first that fires gives the status.
bool FailureScript::Match(const char* function, ComStatus* status)
{
    bool matched = false;
    for (Rule& rule : m_rules) {
        if (rule.function != function) continue;
        ++rule.seen;
        const bool fires = rule.seen == rule.nth || (rule.always && rule.seen >= rule.nth);
        if (fires && !matched) {
            *status = rule.status;
            matched = true;
        }
    }
    return matched;
}
