// Rotated siblings: the suffix after the log's name says where a file stands in the
// rotation (a number counts back from the newest, a date forward).
#include "merge/rotated_logs.h"

#include <algorithm>
#include <cstdint>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithName(const std::u16string& name, const std::u16string& base) {
    if (name.size() <= base.size()) return false;
    for (size_t i = 0; i < base.size(); ++i) {
        if (Lower(name[i]) != Lower(base[i])) return false;
    }
    return true;
}

bool SameName(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && StartsWithName(a + u'x', b);
}

bool Digits(const std::u16string& s, size_t from, size_t count) {
    if (from + count > s.size()) return false;
    for (size_t i = from; i < from + count; ++i) {
        if (s[i] < u'0' || s[i] > u'9') return false;
    }
    return true;
}

int64_t Number(const std::u16string& s, size_t from, size_t count) {
    int64_t n = 0;
    for (size_t i = from; i < from + count; ++i) n = n * 10 + (s[i] - u'0');
    return n;
}

// Where a suffix places a sibling: dated ones by their date, numbered ones by their number.
struct CPlace {
    bool dated = false;
    int64_t value = 0;
};

// Reads a rotation suffix (after the log's name); false when it is none.
bool ReadSuffix(std::u16string suffix, bool withCompressed, CPlace* place) {
    if (withCompressed && suffix.size() > 3 && SameName(suffix.substr(suffix.size() - 3), u".gz")) {
        suffix.resize(suffix.size() - 3);
    }
    size_t n = suffix.size();
    if (n >= 2 && n <= 7 && suffix[0] == u'.' && Digits(suffix, 1, n - 1)) {
        place->dated = false;
        place->value = Number(suffix, 1, n - 1);
        return place->value > 0;
    }
    // -YYYYMMDD, and .YYYY-MM-DD
    if (n == 9 && suffix[0] == u'-' && Digits(suffix, 1, 8)) {
        place->dated = true;
        place->value = Number(suffix, 1, 8);
        return true;
    }
    if (n == 11 && suffix[0] == u'.' && Digits(suffix, 1, 4) && suffix[5] == u'-' && Digits(suffix, 6, 2) &&
        suffix[8] == u'-' && Digits(suffix, 9, 2)) {
        place->dated = true;
        place->value = Number(suffix, 1, 4) * 10000 + Number(suffix, 6, 2) * 100 + Number(suffix, 9, 2);
        return true;
    }
    return false;
}

// The log a chosen name stands for: itself, or the log it is a rotated sibling of.
std::u16string LogOf(const std::u16string& chosen, const std::vector<std::u16string>& names, bool withCompressed) {
    for (const std::u16string& name : names) {
        CPlace place;
        if (StartsWithName(chosen, name) && ReadSuffix(chosen.substr(name.size()), withCompressed, &place)) return name;
    }
    return chosen;
}

}  // namespace

std::vector<std::u16string> RotatedLogSet(const std::u16string& chosen, const std::vector<std::u16string>& names,
                                          int maxLogs, bool withCompressed) {
    std::u16string log = LogOf(chosen, names, withCompressed);
    struct CSibling {
        CPlace place;
        const std::u16string* name;
        bool packed;
    };
    std::vector<CSibling> siblings;
    for (const std::u16string& name : names) {
        CPlace place;
        if (StartsWithName(name, log) && ReadSuffix(name.substr(log.size()), withCompressed, &place))
            siblings.push_back({place, &name, !ReadSuffix(name.substr(log.size()), false, &place)});
    }
    // Oldest first: dated before numbered, a date rising, a number falling; a plain file before
    // a compressed one of the same place.
    auto same = [](const CSibling& a, const CSibling& b) {
        return a.place.dated == b.place.dated && a.place.value == b.place.value;
    };
    std::stable_sort(siblings.begin(), siblings.end(), [&](const CSibling& a, const CSibling& b) {
        if (same(a, b)) return !a.packed && b.packed;
        if (a.place.dated != b.place.dated) return a.place.dated;
        return a.place.dated ? a.place.value < b.place.value : a.place.value > b.place.value;
    });
    // Both of one place (a rotation caught while being compressed) hold the same rows: the plain one.
    siblings.erase(std::unique(siblings.begin(), siblings.end(), same), siblings.end());
    size_t keep = maxLogs > 1 ? static_cast<size_t>(maxLogs - 1) : 0;
    size_t from = siblings.size() > keep ? siblings.size() - keep : 0;
    std::vector<std::u16string> set;
    for (size_t i = from; i < siblings.size(); ++i) set.push_back(*siblings[i].name);
    set.push_back(log);
    return set;
}
