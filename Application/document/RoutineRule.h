// RoutineRule: a language's routine rule, a PCRE2 expression on one line of text, compiled
// once per language (with the JIT where the machine has one) and matched with limits, so
// that a user's rule that backtracks without end costs a bounded time per line and never
// hangs the program: a line on which the limits are reached counts as no routine.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace varlin {

class RoutineRule {
public:
    // The compiled rule, or null with error set to PCRE2's message and the offset in it.
    static std::unique_ptr<RoutineRule> Compile(std::string_view pattern, std::string& error);
    // A rule compiled on its first match, for definitions known to be sound (the shipped
    // ones): start-up then pays nothing for the languages a session never uses. Should the
    // pattern not compile after all, failed is called once with PCRE2's message and the
    // rule matches nothing.
    static std::unique_ptr<RoutineRule> CompileOnFirstUse(std::string_view pattern,
                                                          std::function<void(const std::string&)> failed);
    ~RoutineRule();
    RoutineRule(const RoutineRule&) = delete;
    RoutineRule& operator=(const RoutineRule&) = delete;

    // Whether the rule matches text (bytes, no character set assumed). With name, the
    // routine's name for the routine list: the group called "name" when it took part,
    // else the first group that did, else the whole match.
    bool Matches(std::string_view text, std::string* name = nullptr) const;

    const std::string& Pattern() const { return pattern_; }

private:
    RoutineRule() = default;
    struct Code;
    std::unique_ptr<Code> code_;
    std::string pattern_;
};

}  // namespace varlin
