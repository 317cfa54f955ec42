// Regular expressions through PCRE2's 16-bit library. Each matching thread keeps its own
// match data (the library's per-match scratch) and JIT stack, made once per thread and
// freed when the thread ends.
#include "search/regex.h"

#include <pcre2.h>

#include <new>

#include "foundation/thread_slot.h"

namespace {

// A pathological pattern stops on a line after this much backtracking instead of hanging.
constexpr uint32_t kMatchLimit = 1000000;
constexpr uint32_t kDepthLimit = 100000;

// JIT-compiled code backtracks on a stack of its own; the library's default of 32 KiB
// fails ordinary patterns such as (?:.)*END on lines of a few thousand characters. This
// one starts small and grows on demand up to its maximum.
constexpr size_t kJitStackStart = 32u << 10;
constexpr size_t kJitStackMax = 8u << 20;

struct CThreadMatchData final : CThreadOwned {
    pcre2_match_data_16* data = nullptr;
    pcre2_jit_stack_16* stack = nullptr;
    bool stackTried = false;
    ~CThreadMatchData() override {
        pcre2_match_data_free_16(data);
        pcre2_jit_stack_free_16(stack);
    }
};

CThreadOwned* MakeThreadMatchData() {
    auto* holder = new (std::nothrow) CThreadMatchData;
    if (holder != nullptr) holder->data = pcre2_match_data_create_16(1, nullptr);
    return holder;
}

// The calling thread's match data, or null when it cannot be had.
CThreadMatchData* ThreadMatchData() {
    static const CThreadSlot slot(MakeThreadMatchData);
    return static_cast<CThreadMatchData*>(slot.Get());
}

// The match context's JIT stack callback: the calling thread's own stack (made at its first
// JIT match), or null for the library's default when it cannot be had.
pcre2_jit_stack_16* ThreadJitStack(void*) {
    CThreadMatchData* holder = ThreadMatchData();
    if (holder == nullptr) return nullptr;
    if (!holder->stackTried) {
        holder->stackTried = true;
        holder->stack = pcre2_jit_stack_create_16(kJitStackStart, kJitStackMax, nullptr);
    }
    return holder->stack;
}

}  // namespace

CRegex::~CRegex() {
    pcre2_code_free_16(static_cast<pcre2_code_16*>(m_code));
    pcre2_match_context_free_16(static_cast<pcre2_match_context_16*>(m_context));
}

int CRegex::Compile(const char16_t* pattern, int m, bool ignoreCase, char16_t* message, int* offset) {
    message[0] = 0;
    *offset = 0;
    pcre2_compile_context_16* compile = pcre2_compile_context_create_16(nullptr);
    m_context = pcre2_match_context_create_16(nullptr);
    if (compile == nullptr || m_context == nullptr) {
        pcre2_compile_context_free_16(compile);
        pcre2_get_error_message_16(PCRE2_ERROR_NOMEMORY, reinterpret_cast<PCRE2_UCHAR16*>(message),
                                   kPatternMessageCapacity);
        return 0;
    }
    pcre2_set_newline_16(compile, PCRE2_NEWLINE_ANYCRLF);
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | (ignoreCase ? PCRE2_CASELESS : 0);
    int error = 0;
    PCRE2_SIZE at = 0;
    pcre2_code_16* code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern), static_cast<PCRE2_SIZE>(m), options,
                                           &error, &at, compile);
    pcre2_compile_context_free_16(compile);
    if (code == nullptr) {
        pcre2_get_error_message_16(error, reinterpret_cast<PCRE2_UCHAR16*>(message), kPatternMessageCapacity);
        *offset = static_cast<int>(at);
        return 0;
    }
    // Without JIT (not built in, or no executable memory) the interpreter answers the same.
    pcre2_jit_compile_16(code, PCRE2_JIT_COMPLETE);
    auto* context = static_cast<pcre2_match_context_16*>(m_context);
    pcre2_set_match_limit_16(context, kMatchLimit);
    pcre2_set_depth_limit_16(context, kDepthLimit);
    pcre2_jit_stack_assign_16(context, ThreadJitStack, nullptr);
    m_code = code;
    return 1;
}

int CRegex::Match(const char16_t* text, int n, bool anchored, bool count) const {
    CThreadMatchData* holder = ThreadMatchData();
    if (m_code == nullptr || holder == nullptr || holder->data == nullptr || n < 0) return 0;
    pcre2_match_data_16* data = holder->data;
    auto* code = static_cast<const pcre2_code_16*>(m_code);
    auto* context = static_cast<pcre2_match_context_16*>(m_context);
    uint32_t options = anchored ? PCRE2_ANCHORED : 0;
    int rc = pcre2_match_16(code, reinterpret_cast<PCRE2_SPTR16>(text), static_cast<PCRE2_SIZE>(n), 0, options, data,
                            context);
    // A line beyond even the grown JIT stack: the interpreter keeps its backtracking on the
    // heap and answers it, within the match and depth limits.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
        rc = pcre2_match_16(code, reinterpret_cast<PCRE2_SPTR16>(text), static_cast<PCRE2_SIZE>(n), 0,
                            options | PCRE2_NO_JIT, data, context);
    }
    if (rc >= 0) return 1;
    if (count && (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT)) {
        m_limitHits.fetch_add(1);
    }
    return 0;
}

int LiteralAlternatives(const char16_t* pattern, int m, int* starts, int* lengths, int capacity) {
    int count = 0;
    int start = 0;
    for (int i = 0; i <= m; ++i) {
        char16_t c = i < m ? pattern[i] : u'|';
        switch (c) {
            case u'\\':
            case u'^':
            case u'$':
            case u'.':
            case u'[':
            case u']':
            case u'(':
            case u')':
            case u'*':
            case u'+':
            case u'?':
            case u'{':
            case u'}':
                return 0;
            case u'|':
                // An empty alternative matches every line: not a plain text.
                if (i == start || count == capacity) return 0;
                starts[count] = start;
                lengths[count] = i - start;
                ++count;
                start = i + 1;
                break;
            default:
                break;
        }
    }
    return count;
}
