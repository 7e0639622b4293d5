// RoutineRule on PCRE2: 8-bit code units and never UTF, so that any byte of a line (an
// ANSI, OEM or broken UTF-8 text) is a valid subject.
#include "document/RoutineRule.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <mutex>

namespace varlin {
namespace {

// Generous for any sensible rule on a line (a few hundred steps), small enough that a
// pathological one costs well under a millisecond a line.
constexpr std::uint32_t kMatchLimit = 20000;
constexpr std::uint32_t kDepthLimit = 500;
constexpr std::uint32_t kHeapLimitKiB = 1024;
constexpr std::uint32_t kMatchPairs = 16;

struct MatchDataDeleter {
    void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};

// One match block per thread, made on first use: the rules are matched line by line and
// an allocation per line would cost more than the match.
pcre2_match_data* ThreadMatchData() {
    thread_local std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create(kMatchPairs, nullptr));
    return data.get();
}

}  // namespace

struct RoutineRule::Code {
    std::once_flag built;  // compiled (when deferred) and given to the JIT on first use
    std::function<void(const std::string&)> failed;  // a deferred compilation's report
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    int nameGroup = -1;  // the number of the group called "name", or -1
    ~Code() {
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }

    bool Build(std::string_view pattern, std::string& error) {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                             PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C, &errorCode,
                             &errorOffset, nullptr);
        if (!code) {
            PCRE2_UCHAR message[256];
            pcre2_get_error_message(errorCode, message, sizeof message);
            error = reinterpret_cast<const char*>(message);
            error += " (" + std::to_string(errorOffset + 1) + ")";
            return false;
        }
        context = pcre2_match_context_create(nullptr);
        if (!context) {
            error = "out of memory";
            return false;
        }
        pcre2_set_match_limit(context, kMatchLimit);
        pcre2_set_depth_limit(context, kDepthLimit);
        pcre2_set_heap_limit(context, kHeapLimitKiB);
        const int group = pcre2_substring_number_from_name(code, reinterpret_cast<PCRE2_SPTR>("name"));
        nameGroup = group > 0 ? group : -1;
        return true;
    }
};

RoutineRule::~RoutineRule() = default;

std::unique_ptr<RoutineRule> RoutineRule::Compile(std::string_view pattern, std::string& error) {
    std::unique_ptr<RoutineRule> rule(new RoutineRule);
    rule->code_ = std::make_unique<Code>();
    rule->pattern_ = std::string(pattern);
    if (!rule->code_->Build(pattern, error)) return nullptr;
    return rule;
}

std::unique_ptr<RoutineRule> RoutineRule::CompileOnFirstUse(std::string_view pattern,
                                                            std::function<void(const std::string&)> failed) {
    std::unique_ptr<RoutineRule> rule(new RoutineRule);
    rule->code_ = std::make_unique<Code>();
    rule->code_->failed = std::move(failed);
    rule->pattern_ = std::string(pattern);
    return rule;
}

bool RoutineRule::Matches(std::string_view text, std::string* name) const {
    Code& c = *code_;
    std::call_once(c.built, [&] {
        std::string error;
        if (!c.code && !c.Build(pattern_, error)) {
            pcre2_code_free(c.code);
            c.code = nullptr;
            if (c.failed) c.failed(error);
            return;
        }
        // Without a JIT (another machine, a build without it) the interpreter matches.
        if (c.code) pcre2_jit_compile(c.code, PCRE2_JIT_COMPLETE);
    });
    pcre2_match_data* data = ThreadMatchData();
    if (!c.code || !c.context || !data) return false;
    int rc = pcre2_match(c.code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data,
                         c.context);
    if (rc < 0) return false;  // no match, or a limit reached
    if (!name) return true;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    const int pairs = rc == 0 ? int(kMatchPairs) : rc;
    auto taken = [&](int g) { return g < pairs && ovector[2 * g] != PCRE2_UNSET; };
    int group = 0;
    if (c.nameGroup > 0 && taken(c.nameGroup)) {
        group = c.nameGroup;
    } else {
        for (int g = 1; g < pairs; ++g) {
            if (taken(g) && ovector[2 * g + 1] > ovector[2 * g]) {
                group = g;
                break;
            }
        }
    }
    name->assign(text.substr(ovector[2 * group], ovector[2 * group + 1] - ovector[2 * group]));
    return true;
}

}  // namespace varlin
