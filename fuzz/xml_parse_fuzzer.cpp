// Fuzzes the XML reader: any bytes are parsed, the tree is walked and read as the settings
// and keyword readers read it, then freed. A parsed tree, written and parsed again, must
// come back the same (the writer's output is the reader's fixed point).
#include <cstdlib>
#include <cstring>

#include "foundation/trace.h"
#include "xml_fuzz_support.h"

namespace {

// Reads every element as the configuration does: text, number, lookups by name.
void Walk(CXmlElement* first) {
    for (CXmlElement* e = first; e != nullptr; e = e->next) {
        const char16_t* text = CXml::GetText(e);
        FUZZ_CHECK(text != nullptr);
        FUZZ_CHECK((text[0] == 0) == (e->text == nullptr || e->text->IsEmpty()));
        (void)CXml::GetInt(e, -12345);
        (void)CXml::FindChild(e, u"config");
        (void)CXml::FindNext(e, u"emphasis");
        Walk(e->child);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TraceOutput = TraceNone;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x100000) return 0;
    CXml xml;
    CXmlElement* first = xml.Parse(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (first == nullptr) return 0;
    Walk(first);
    for (CXmlElement* e = first->next; e != nullptr; e = e->next) FUZZ_CHECK(e->encoding == nullptr);
    std::vector<fuzzing::XmlNode> before = fuzzing::Snapshot(first);

    // The writer puts the encoding into the declaration unescaped and does not encode in it;
    // the program's own documents never carry one, so the round trip leaves it out.
    delete first->encoding;
    first->encoding = nullptr;
    char* written = xml.Write(first);
    CXml::FreeElements(first);
    FUZZ_CHECK(written != nullptr);

    CXml again;
    CXmlElement* reread = again.Parse(written, static_cast<int>(std::strlen(written)));
    FUZZ_CHECK(reread != nullptr);
    std::vector<fuzzing::XmlNode> after = fuzzing::Snapshot(reread);
    CXml::FreeElements(reread);
    std::free(written);
    FUZZ_CHECK(before == after);
    return 0;
}
