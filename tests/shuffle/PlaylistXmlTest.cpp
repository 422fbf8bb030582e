// A .wpl read back by a real XML parser (libxml2, native build only).
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FakeRun.h"
#include "PlaylistFixture.h"
#include "foundation/Utf8.h"
#include "library/PlaylistText.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {

bool NoAnsi(std::wstring_view, std::string&, std::wstring&) { return false; }

// A file name character Windows allows: anything from a blank up, but \ / : * ? " < > |.
// (U+FFFE and U+FFFF are left out: XML 1.0 has no way to carry them.)
wchar_t NameChar(std::mt19937& gen) {
    static const std::wstring kForbidden = L"\\/:*?\"<>|";
    for (;;) {
        std::uint32_t c;
        switch (gen() % 4) {
            case 0: c = 0x20 + gen() % 0x5F; break;                // ASCII, & and ' included
            case 1: c = L"&'&;#"[gen() % 5]; break;                  // what escaping is about
            case 2: c = 0xA0 + gen() % (0xD800 - 0xA0); break;      // rest of the BMP below surrogates
            default: c = sizeof(wchar_t) == 4 ? 0x10000 + gen() % 0x100000 : 0xE000 + gen() % 0x1FFE;
        }
        if (c >= 0xFFFE && c <= 0xFFFF) continue;
        if (c < 0x10000 && kForbidden.find(static_cast<wchar_t>(c)) != std::wstring::npos) continue;
        return static_cast<wchar_t>(c);
    }
}

std::wstring RandomPath(std::mt19937& gen) {
    std::wstring p = L"C:\\";
    int parts = 1 + gen() % 4;
    for (int i = 0; i < parts; ++i) {
        int len = 1 + gen() % 30;
        for (int j = 0; j < len; ++j) p += NameChar(gen);
        p += i + 1 < parts ? L"\\" : L".mp3";
    }
    return p;
}

std::string Attr(xmlNode* n, const char* name) {
    xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
    std::string s = v ? reinterpret_cast<const char*>(v) : "";
    xmlFree(v);
    return s;
}

xmlNode* Child(xmlNode* n, const char* name) {
    for (xmlNode* c = n ? n->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(c->name), name) == 0) return c;
    return nullptr;
}

}  // namespace

TEST(PlaylistXml, AnyFileSystemPathGivesWellFormedXmlThatReadsBack) {
    std::mt19937 gen(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < 25; ++i) paths.push_back(RandomPath(gen));
        Playlist p(paths);
        PlaylistRequest r = p.Request(kFormatWpl);
        r.sTitle = RandomPath(gen).substr(3);
        MemoryFile file;
        FakeRun ctx;
        ASSERT_TRUE(WritePlaylistTo(ctx, file, NoAnsi, r));

        xmlDoc* doc = xmlReadMemory(file.bytes.data(), static_cast<int>(file.bytes.size()), "x.wpl", "UTF-8",
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        ASSERT_NE(doc, nullptr) << "not well-formed: " << file.bytes;
        xmlNode* smil = xmlDocGetRootElement(doc);
        ASSERT_STREQ(reinterpret_cast<const char*>(smil->name), "smil");
        xmlChar* title = xmlNodeGetContent(Child(Child(smil, "head"), "title"));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(title)), ToUtf8Text(r.sTitle));
        xmlFree(title);
        std::size_t i = 0;
        for (xmlNode* m = Child(Child(smil, "body"), "seq")->children; m; m = m->next) {
            if (m->type != XML_ELEMENT_NODE) continue;
            ASSERT_LT(i, paths.size());
            EXPECT_EQ(Attr(m, "src"), ToUtf8Text(paths[i])) << "round " << round << " entry " << i;
            ++i;
        }
        EXPECT_EQ(i, paths.size());
        xmlFreeDoc(doc);
    }
}
