// fuzz/sorted_name_list_fuzz.cpp: any sequence of names through the sorted name list, against a
// plain comparison and lower-bound insertion into a vector. Names are the input split at 0 bytes
// (file names never hold one); a name starting with byte 0x01 first traverses the list, so
// adding after ordering is tried too.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/sorted_name_list.h"
#include "fuzz/fuzz_support.h"

using namespace favpage;
using namespace favpage::fuzz;

namespace {

// The order of names written out directly: a-z read as A-Z, bytes as signed 8-bit values, the
// end of a name as 0.
int ReferenceCompare(const std::string& a, const std::string& b) {
    for (size_t i = 0;; ++i) {
        auto at = [i](const std::string& s) -> int {
            if (i >= s.size()) return 0;
            char c = s[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            return static_cast<signed char>(c);
        };
        const int x = at(a);
        const int y = at(b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

int Sign(int v) { return (v > 0) - (v < 0); }

// A name goes in front of the first name not less than it.
void ReferenceAdd(std::vector<std::string>& list, const std::string& name) {
    const auto at = std::lower_bound(
        list.begin(), list.end(), name,
        [](const std::string& a, const std::string& b) { return ReferenceCompare(a, b) < 0; });
    list.insert(at, name);
}

std::string Describe(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names) s += "  [" + Printable(n, 60) + "]\n";
    return s;
}

void CheckSame(const TSListImp<std::string>& list, const std::vector<std::string>& expected) {
    std::vector<std::string> got(list.begin(), list.end());
    FUZZ_CHECK(list.Count() == expected.size(), "count");
    FUZZ_CHECK(got == expected, "order\ngot:\n" + Describe(got) + "expected:\n" + Describe(expected));
    for (size_t i = 1; i < got.size(); ++i) {
        FUZZ_CHECK(CompareNames(got[i - 1], got[i]) <= 0, "not sorted");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            names.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (size > 0) names.push_back(current);

    TSListImp<std::string> list;
    std::vector<std::string> reference;
    for (const std::string& name : names) {
        if (!name.empty() && name[0] == '\x01') CheckSame(list, reference);
        FUZZ_CHECK(list.Add(name) == 1, "Add refused");
        ReferenceAdd(reference, name);
    }
    CheckSame(list, reference);
    CheckSame(list, reference);  // a second traversal sees the same
    FUZZ_CHECK(list.IsEmpty() == names.empty(), "IsEmpty");

    // The comparison and the sort keys agree with the plain order on every neighbouring pair.
    for (size_t i = 1; i < names.size(); ++i) {
        const std::string& a = names[i - 1];
        const std::string& b = names[i];
        const int want = ReferenceCompare(a, b);
        FUZZ_CHECK(Sign(CompareNames(a, b)) == want, "CompareNames " + Printable(a) + " | " + Printable(b));
        FUZZ_CHECK(Sign(CompareNames(b, a)) == -want, "CompareNames is not antisymmetric");
        FUZZ_CHECK(Sign(SortKey(a).compare(SortKey(b))) == want, "SortKey");
    }
    return 0;
}
