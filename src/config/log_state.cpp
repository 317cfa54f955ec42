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

uint64_t ChildNumber(CXmlElement* parent, const char16_t* name, int base) {
    uint64_t value = 0;
    return ParseNumber(CXml::GetText(CXml::FindChild(parent, name)), base, &value) ? value : 0;
}

// A row, which may lie beyond 2^31; -1 when the child is missing or holds no row.
int64_t ChildRow(CXmlElement* parent, const char16_t* name) {
    uint64_t value = 0;
    bool ok = ParseNumber(CXml::GetText(CXml::FindChild(parent, name)), 10, &value) && value <= INT64_MAX;
    return ok ? static_cast<int64_t>(value) : -1;
}

void AddNumber(CXmlChildList& list, const char16_t* name, uint64_t value, bool hex) {
    char digits[24];
    std::snprintf(digits, sizeof digits, hex ? "%016llx" : "%llu", static_cast<unsigned long long>(value));
    char16_t text[24] = {};
    for (int i = 0; digits[i] != 0; ++i) text[i] = static_cast<char16_t>(digits[i]);
    list.Add(name, text);
}

bool ReadLog(CXmlElement* log, CLogState* state) {
    state->path = CXml::GetText(CXml::FindChild(log, u"path"));
    if (state->path.empty()) return false;
    state->fingerprint.size = ChildNumber(log, u"size", 10);
    uint64_t head = ChildNumber(log, u"head_length", 10);
    state->fingerprint.headLength = static_cast<uint32_t>(head > kStateHeadBytes ? kStateHeadBytes : head);
    state->fingerprint.headHash = ChildNumber(log, u"head_hash", 16);
    state->caretRow = std::max<int64_t>(ChildRow(log, u"caret"), 0);
    state->firstRow = std::max<int64_t>(ChildRow(log, u"first_row"), 0);
    state->follow = CXml::GetInt(CXml::FindChild(log, u"follow"), 0) != 0 ? 1 : 0;
    state->encoding = CXml::GetInt(CXml::FindChild(log, u"encoding"), kNoEncodingChoice);
    CXmlElement* markers = CXml::FindChild(log, u"markers");
    for (CXmlElement* m = CXml::FindChild(markers, u"marker"); m != nullptr; m = CXml::FindNext(m, u"marker")) {
        CLogMarkerState marker;
        marker.row = ChildRow(m, u"row");
        marker.offset = ChildNumber(m, u"offset", 10);
        if (marker.row >= 0) state->markers.push_back(marker);
    }
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
    for (size_t i = 0; i < a.markers.size(); ++i) {
        if (a.markers[i].row != b.markers[i].row || a.markers[i].offset != b.markers[i].offset) return false;
    }
    return a.path == b.path && a.fingerprint.size == b.fingerprint.size &&
           a.fingerprint.headLength == b.fingerprint.headLength && a.fingerprint.headHash == b.fingerprint.headHash &&
           a.caretRow == b.caretRow && a.firstRow == b.firstRow && a.follow == b.follow && a.encoding == b.encoding;
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
        if (ReadLog(log, &state)) m_states.push_back(state);
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
