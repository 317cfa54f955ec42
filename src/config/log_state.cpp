// The per-log state and its file.
#include "config/log_state.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "config/folders.h"
#include "config/recent_logs.h"
#include "document/encoding.h"
#include "document/file.h"
#include "foundation/trace.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

namespace {

// FNV-1a, 64 bits: enough to tell an edited head from the one kept.
uint64_t HashBytes(const unsigned char* bytes, uint32_t length) {
    uint64_t hash = 1469598103934665603ull;
    for (uint32_t i = 0; i < length; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

int HashHead(CFile& file, uint32_t length, uint64_t* hash) {
    std::unique_ptr<unsigned char[]> head(new (std::nothrow) unsigned char[length + 1]);
    if (head == nullptr) return 0;
    if (length > 0 && file.Read(head.get(), length, 0) != length) return 0;
    *hash = HashBytes(head.get(), length);
    return 1;
}

// An unsigned number in base 10 or 16; false for anything else.
bool ParseNumber(const char16_t* text, int base, uint64_t* out) {
    uint64_t value = 0;
    if (text == nullptr || text[0] == 0) return false;
    for (const char16_t* p = text; *p != 0; ++p) {
        int digit = *p >= u'0' && *p <= u'9' ? *p - u'0' : *p >= u'a' && *p <= u'f' ? *p - u'a' + 10 : 99;
        if (digit >= base) return false;
        if (value > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    *out = value;
    return true;
}

// The child's number; false when it is missing or holds anything else.
bool ChildNumber(CXmlElement* parent, const char16_t* name, int base, uint64_t* out) {
    return ParseNumber(CXml::GetText(CXml::FindChild(parent, name)), base, out);
}

// A row of a log of size bytes (each row takes at least one of them); -1 when the child is
// missing or holds no such row.
int64_t ChildRow(CXmlElement* parent, const char16_t* name, uint64_t size) {
    uint64_t value = 0;
    return ChildNumber(parent, name, 10, &value) && value < size ? static_cast<int64_t>(value) : -1;
}

// The longest path Windows can name; a kept path is the full path of a log that was open.
constexpr size_t kMaxStatePath = 32767;

// The child's text as a path: false when it is empty, too long or holds a control character
// (the reader has already dropped NUL bytes).
bool ChildPath(CXmlElement* parent, const char16_t* name, std::u16string* out) {
    *out = CXml::GetText(CXml::FindChild(parent, name));
    if (out->empty() || out->size() > kMaxStatePath) return false;
    return std::none_of(out->begin(), out->end(), [](char16_t c) { return c < 0x20 || c == 0x7f; });
}

// What identifies the log, as TakeFingerprint takes it; false when any part is missing or
// could not have been taken of a file.
bool ReadFingerprint(CXmlElement* log, CLogFingerprint* out) {
    uint64_t size = 0;
    uint64_t head = 0;
    uint64_t hash = 0;
    if (!ChildNumber(log, u"size", 10, &size) || !ChildNumber(log, u"head_length", 10, &head) ||
        !ChildNumber(log, u"head_hash", 16, &hash))
        return false;
    if (size > INT64_MAX || head != (size < kStateHeadBytes ? size : kStateHeadBytes)) return false;
    *out = {size, static_cast<uint32_t>(head), hash};
    return true;
}

// The code page chosen by hand: one the box offers, written as a decimal (negative for Auto).
int32_t ChildEncoding(CXmlElement* log) {
    const char16_t* text = CXml::GetText(CXml::FindChild(log, u"encoding"));
    bool negative = text[0] == u'-';
    uint64_t value = 0;
    if (!ParseNumber(text + (negative ? 1 : 0), 10, &value) || value > INT32_MAX) return kNoEncodingChoice;
    auto choice = static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
    return IsEncodingChoice(choice) ? choice : kNoEncodingChoice;
}

// The minutes added to its times, within kMaxTimeOffsetMinutes either way; 0 for none.
int32_t ChildTimeOffset(CXmlElement* log) {
    const char16_t* text = CXml::GetText(CXml::FindChild(log, u"time_offset"));
    bool negative = text[0] == u'-';
    uint64_t value = 0;
    if (!ParseNumber(text + (negative ? 1 : 0), 10, &value) || value > kMaxTimeOffsetMinutes) return 0;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}

void AddNumber(CXmlChildList& list, const char16_t* name, uint64_t value, bool hex) {
    char digits[24];
    std::snprintf(digits, sizeof digits, hex ? "%016llx" : "%llu", static_cast<unsigned long long>(value));
    char16_t text[24] = {};
    for (int i = 0; digits[i] != 0; ++i) text[i] = static_cast<char16_t>(digits[i]);
    list.Add(name, text);
}

// A label's text as the file holds it: the reader trims and folds blanks, so blanks, other
// controls and "%" are written as "%" and four hex digits.
std::u16string EncodeLabel(const std::u16string& text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c > 0x20 && c != u'%' && c != 0x7f) {
            out.push_back(c);
            continue;
        }
        const char16_t* hex = u"0123456789abcdef";
        out += u'%';
        for (int shift = 12; shift >= 0; shift -= 4) out.push_back(hex[(c >> shift) & 0xF]);
    }
    return out;
}

// The text EncodeLabel wrote; false for a "%" without four hex digits.
bool DecodeLabel(const char16_t* text, std::u16string* out) {
    out->clear();
    for (const char16_t* p = text; *p != 0; ++p) {
        if (*p != u'%') {
            out->push_back(*p);
            continue;
        }
        char16_t digits[5] = {};
        for (int k = 0; k < 4 && p[k + 1] != 0; ++k) digits[k] = p[k + 1];
        uint64_t value = 0;
        if (digits[3] == 0 || !ParseNumber(digits, 16, &value)) return false;
        out->push_back(static_cast<char16_t>(value));
        p += 4;
    }
    return true;
}

// The colour labels: a label's number (1..kColorLabelCount) and its text, which a selection
// of one row gave (so not longer than a row shows). The first of a number counts.
void ReadLabels(CXmlElement* list, std::u16string* labels) {
    for (CXmlElement* l = CXml::FindChild(list, u"label"); l != nullptr; l = CXml::FindNext(l, u"label")) {
        uint64_t number = 0;
        std::u16string value;
        if (!ChildNumber(l, u"number", 10, &number) || number < 1 || number > kColorLabelCount ||
            !DecodeLabel(CXml::GetText(CXml::FindChild(l, u"text")), &value) || value.empty() ||
            value.size() > kMaxLabelText || !labels[number - 1].empty())
            continue;
        labels[number - 1] = value;
    }
}

void WriteLabels(CXmlChildList& log, const std::u16string* labels) {
    bool any = false;
    for (int k = 0; k < kColorLabelCount; ++k) any = any || !labels[k].empty();
    if (!any) return;
    CXmlChildList list(log.Add(u"labels", nullptr));
    for (int k = 0; k < kColorLabelCount; ++k) {
        if (labels[k].empty()) continue;
        CXmlChildList label(list.Add(u"label", nullptr));
        label.AddInt(u"number", k + 1);
        label.Add(u"text", EncodeLabel(labels[k]).c_str());
    }
}

// A log's kept state. Without a sound path and fingerprint nothing is kept for it; any other
// field that is no value the viewer could have written is read as nothing kept.
bool ReadLog(CXmlElement* log, CLogState* state) {
    if (!ChildPath(log, u"path", &state->path) || !ReadFingerprint(log, &state->fingerprint)) return false;
    uint64_t size = state->fingerprint.size;
    state->caretRow = std::max<int64_t>(ChildRow(log, u"caret", size), 0);
    state->firstRow = std::max<int64_t>(ChildRow(log, u"first_row", size), 0);
    uint64_t follow = 0;
    state->follow = ChildNumber(log, u"follow", 10, &follow) && follow == 1 ? 1 : 0;
    state->encoding = ChildEncoding(log);
    state->timeOffset = ChildTimeOffset(log);
    CXmlElement* markers = CXml::FindChild(log, u"markers");
    for (CXmlElement* m = CXml::FindChild(markers, u"marker"); m != nullptr; m = CXml::FindNext(m, u"marker")) {
        CLogMarkerState marker;
        marker.row = ChildRow(m, u"row", size);
        // A row starts no earlier than its number of bytes in.
        if (marker.row >= 0 && ChildNumber(m, u"offset", 10, &marker.offset) && marker.offset < size &&
            marker.offset >= static_cast<uint64_t>(marker.row))
            state->markers.push_back(marker);
    }
    // Written in row order; a row listed twice would be toggled off again.
    auto byRow = [](const CLogMarkerState& a, const CLogMarkerState& b) { return a.row < b.row; };
    auto sameRow = [](const CLogMarkerState& a, const CLogMarkerState& b) { return a.row == b.row; };
    std::stable_sort(state->markers.begin(), state->markers.end(), byRow);
    state->markers.erase(std::unique(state->markers.begin(), state->markers.end(), sameRow), state->markers.end());
    ReadLabels(CXml::FindChild(log, u"labels"), state->labels.data());
    return true;
}

void WriteLog(CXmlElement* root, const CLogState& state) {
    CXmlChildList log(CXml::AddChild(root, u"log", nullptr));
    log.Add(u"path", state.path.c_str());
    AddNumber(log, u"size", state.fingerprint.size, false);
    AddNumber(log, u"head_length", state.fingerprint.headLength, false);
    AddNumber(log, u"head_hash", state.fingerprint.headHash, true);
    AddNumber(log, u"caret", static_cast<uint64_t>(state.caretRow), false);
    AddNumber(log, u"first_row", static_cast<uint64_t>(state.firstRow), false);
    log.AddInt(u"follow", state.follow);
    log.AddInt(u"encoding", state.encoding);
    WriteLabels(log, state.labels.data());
    // Only when there is one: a reader that knows none reads nothing new.
    if (state.timeOffset != 0) log.AddInt(u"time_offset", state.timeOffset);
    if (state.markers.empty()) return;
    CXmlChildList markers(log.Add(u"markers", nullptr));
    for (const CLogMarkerState& m : state.markers) {
        CXmlChildList marker(markers.Add(u"marker", nullptr));
        AddNumber(marker, u"row", static_cast<uint64_t>(m.row), false);
        AddNumber(marker, u"offset", m.offset, false);
    }
}

}  // namespace

bool operator==(const CLogState& a, const CLogState& b) {
    if (a.markers.size() != b.markers.size()) return false;
    if (a.labels != b.labels) return false;
    for (size_t i = 0; i < a.markers.size(); ++i) {
        if (a.markers[i].row != b.markers[i].row || a.markers[i].offset != b.markers[i].offset) return false;
    }
    return a.path == b.path && a.fingerprint.size == b.fingerprint.size &&
           a.fingerprint.headLength == b.fingerprint.headLength && a.fingerprint.headHash == b.fingerprint.headHash &&
           a.caretRow == b.caretRow && a.firstRow == b.firstRow && a.follow == b.follow && a.encoding == b.encoding &&
           a.timeOffset == b.timeOffset;
}

int TakeFingerprint(CFile& file, uint64_t size, CLogFingerprint* out) {
    CLogFingerprint taken;
    taken.size = size;
    taken.headLength = static_cast<uint32_t>(size < kStateHeadBytes ? size : kStateHeadBytes);
    if (!HashHead(file, taken.headLength, &taken.headHash)) return 0;
    *out = taken;
    return 1;
}

bool IsSameLog(CFile& file, uint64_t size, const CLogFingerprint& kept) {
    if (size < kept.size || size < kept.headLength) return false;
    uint64_t hash = 0;
    return HashHead(file, kept.headLength, &hash) && hash == kept.headHash;
}

CStateLoad CLogStateStore::Load(const char16_t* path) {
    m_path = path != nullptr ? path : u"";
    m_states.clear();
    m_changed = false;
    m_writable = false;
    if (m_path.empty()) return CStateLoad::kUnreadable;
    if (!PathExists(m_path.c_str())) {
        m_writable = true;
        return CStateLoad::kMissing;
    }
    CFile probe;
    if (!probe.Open(m_path.c_str())) return CStateLoad::kUnreadable;
    probe.Close();
    CXml xml;
    CXmlElement* first = LoadXmlFile(xml, m_path.c_str());
    CXmlElement* root = CXml::FindElement(first, u"quillon_state");
    if (root == nullptr) {
        CXml::FreeElements(first);
        std::u16string aside = m_path + u".damaged";
        if (!ReplaceFileAtomic(m_path.c_str(), aside.c_str())) return CStateLoad::kUnreadable;
        TraceOutput(u"damaged state file set aside as %s\n", aside.c_str());
        m_writable = true;
        return CStateLoad::kSetAside;
    }
    for (CXmlElement* log = CXml::FindChild(root, u"log"); log != nullptr && Count() < kMaxLogStates;
         log = CXml::FindNext(log, u"log")) {
        CLogState state;
        // A path listed twice keeps its first (most recent) state.
        if (ReadLog(log, &state) && Find(state.path) == nullptr) m_states.push_back(state);
    }
    CXml::FreeElements(first);
    m_writable = true;
    return CStateLoad::kRead;
}

const CLogState* CLogStateStore::Find(const std::u16string& path) const {
    for (const CLogState& state : m_states) {
        if (SamePathText(state.path, path)) return &state;
    }
    return nullptr;
}

void CLogStateStore::Put(const CLogState& state) {
    if (!m_states.empty() && m_states.front() == state) return;
    for (auto it = m_states.begin(); it != m_states.end(); ++it) {
        if (SamePathText(it->path, state.path)) {
            m_states.erase(it);
            break;
        }
    }
    m_states.insert(m_states.begin(), state);
    if (m_states.size() > static_cast<size_t>(kMaxLogStates)) m_states.resize(kMaxLogStates);
    m_changed = true;
}

int CLogStateStore::Save() {
    if (!m_writable) return 0;
    if (!m_changed) return -1;
    CXmlElement* root = CXml::CreateElement(u"quillon_state", nullptr);
    if (root == nullptr) return 0;
    for (const CLogState& state : m_states) WriteLog(root, state);
    CXml xml;
    int ok = SaveXmlFile(xml, root, m_path.c_str());
    CXml::FreeElements(root);
    if (ok) m_changed = false;
    return ok;
}

std::u16string StateFilePath(const char16_t* settingsFile) {
    std::u16string path = settingsFile != nullptr ? settingsFile : u"";
    size_t slash = path.find_last_of(u"/\\");
    path.resize(slash == std::u16string::npos ? 0 : slash + 1);
    return path + u"quillon_state.xml";
}
