// Our EMF and WMF pictures as other programs read them: the labels where the PDF export puts
// them, and LibreOffice and Inkscape (when installed) opening every example at its size in
// millimetres with its labels as text.
#include "output/byte_io.h"
#include "output/emf_records.h"
#include "output/metafile_player.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace plox {
namespace {

namespace fs = std::filesystem;

const std::string examples = std::string(PLOX_SOURCE_DIR) + "/examples/";

bool installed(const std::string& tool) {
    return std::system(("command -v " + tool + " > /dev/null 2>&1").c_str()) == 0;
}

// The standard output of a shell command; empty when it failed.
std::string output_of(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    return pclose(pipe) == 0 ? out : std::string();
}

std::vector<uint8_t> bytes_of(const std::string& path) {
    const std::string s = test::read_file(path);
    return {s.begin(), s.end()};
}

struct EmfText {
    std::string ascii; // empty when the text is not plain ASCII
    int32_t x = 0, y = 0;
    bool rotated = false;
};

// The text records of an enhanced metafile with the rotation of the font they are drawn in.
std::vector<EmfText> emf_texts(const std::vector<uint8_t>& bytes) {
    const ByteReader d(bytes);
    std::map<uint32_t, int32_t> escapement;
    int32_t current = 0;
    std::vector<EmfText> out;
    for (size_t at = 0; d.has(at, 8) && *d.u32(at + 4) >= 8;) {
        const uint32_t type = *d.u32(at), size = *d.u32(at + 4);
        if (type == emr::EXTCREATEFONTINDIRECTW) escapement[*d.u32(at + 8)] = *d.i32(at + 20);
        if (type == emr::SELECTOBJECT && escapement.count(*d.u32(at + 8)))
            current = escapement[*d.u32(at + 8)];
        if (type == emr::EXTTEXTOUTW) {
            EmfText t{{}, *d.i32(at + 36), *d.i32(at + 40), current != 0};
            const uint32_t n = *d.u32(at + 44), offset = *d.u32(at + 48);
            for (uint32_t i = 0; i < n; ++i) {
                const uint16_t c = d.u16(at + offset + 2 * i).value_or(0xFFFF);
                if (c >= 0x80) {
                    t.ascii.clear();
                    break;
                }
                t.ascii.push_back(static_cast<char>(c));
            }
            out.push_back(t);
        }
        at += size;
    }
    return out;
}

std::vector<std::string> words_of(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// Every example document, exported as `<name>_emf.emf` and `<name>_wmf.wmf` into `dir`.
std::vector<std::string> export_examples(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(examples)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".qvp" && ext != ".qva") continue;
        const std::string name = entry.path().stem().string();
        for (const char* kind : {"emf", "wmf"}) {
            const std::string out = dir / (name + "_" + kind + "." + kind);
            const auto r = test::run_ploxwin({"--export", out, entry.path().string()});
            EXPECT_EQ(r.status, 0) << name << ": " << r.err;
        }
        names.push_back(name);
    }
    return names;
}

TEST(MetafileReaders, EmfLabelsSitWhereThePdfExportPutsThem) {
    if (!installed("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    test::TempDir dir;
    const std::string doc = examples + "demo.qvp";
    ASSERT_EQ(test::run_ploxwin({"--export", dir / "demo.emf", doc}).status, 0);
    ASSERT_EQ(test::run_ploxwin({"--export", dir / "demo.pdf", doc}).status, 0);
    const std::string html = output_of("pdftotext -bbox '" + dir / "demo.pdf" + "' -");
    ASSERT_FALSE(html.empty());
    struct Word {
        std::string text;
        double x0, y0, x1, y1; // page units
    };
    std::vector<Word> words;
    const std::regex word_re(
        R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator i(html.begin(), html.end(), word_re), end; i != end; ++i) {
        const auto units = [&](int k) { return std::stod((*i)[k]) * 2540 / 72; };
        words.push_back({(*i)[5], units(1), units(2), units(3), units(4)});
    }
    // The picture's logical units are page units: a label's reference point is on its left
    // edge, centre or right edge and between its top and bottom in the PDF.
    size_t checked = 0;
    for (const EmfText& t : emf_texts(bytes_of(dir / "demo.emf"))) {
        if (t.rotated || t.ascii.empty() || t.ascii.front() == ' ' || words_of(t.ascii).size() != 1)
            continue;
        const std::string label = words_of(t.ascii).front();
        bool found = false;
        for (const Word& w : words)
            if (w.text == label && t.y >= w.y0 - 3 && t.y <= w.y1 + 3)
                for (double edge : {w.x0, (w.x0 + w.x1) / 2, w.x1})
                    found = found || std::abs(edge - t.x) <= 3;
        EXPECT_TRUE(found) << label << " at " << t.x << ", " << t.y;
        ++checked;
    }
    EXPECT_GE(checked, 12u);
}

// Sizes LibreOffice gives the pictures (cm) in its own documents, and the text of its PDFs.
TEST(MetafileReaders, LibreOfficeOpensEveryExampleAtItsSizeWithItsLabels) {
    for (const char* tool : {"soffice", "unzip", "pdftotext"})
        if (!installed(tool)) GTEST_SKIP() << tool << " is not installed";
    test::TempDir dir;
    const std::vector<std::string> names = export_examples(dir);
    ASSERT_GE(names.size(), 5u);
    const std::string soffice = "timeout 600 soffice -env:UserInstallation=file://" +
                                dir / "profile" + " --headless --convert-to ";
    const std::string inputs = "'" + dir.dir() + "'*_emf.emf '" + dir.dir() + "'*_wmf.wmf";
    ASSERT_EQ(
        std::system((soffice + "odg --outdir '" + dir / "odg" + "' " + inputs + " > /dev/null 2>&1")
                        .c_str()),
        0);
    ASSERT_EQ(
        std::system((soffice + "pdf --outdir '" + dir / "pdf" + "' " + inputs + " > /dev/null 2>&1")
                        .c_str()),
        0);
    const std::regex frame_re(
        R"re(<draw:frame[^>]*svg:width="([\d.]+)cm" svg:height="([\d.]+)cm")re");
    for (const std::string& name : names) {
        const auto texts = emf_texts(bytes_of(dir / (name + "_emf.emf")));
        for (const char* kind : {"emf", "wmf"}) {
            const std::string stem = name + "_" + kind;
            const auto info = metafile_info(bytes_of(dir / (stem + "." + kind)));
            ASSERT_TRUE(info) << stem;
            const std::string content =
                output_of("unzip -p '" + dir / ("odg/" + stem + ".odg") + "' content.xml");
            std::smatch m;
            ASSERT_TRUE(std::regex_search(content, m, frame_re)) << stem;
            EXPECT_NEAR(std::stod(m[1]) * 1000, info->size.cx, 2) << stem;
            EXPECT_NEAR(std::stod(m[2]) * 1000, info->size.cy, 2) << stem;
            const std::string text =
                output_of("pdftotext '" + dir / ("pdf/" + stem + ".pdf") + "' -");
            size_t words = 0;
            for (const EmfText& t : texts)
                for (const std::string& w : words_of(t.ascii)) {
                    EXPECT_NE(text.find(w), std::string::npos) << stem << ": " << w;
                    ++words;
                }
            EXPECT_GT(words, 5u) << stem;
        }
    }
}

TEST(MetafileReaders, InkscapeOpensOurPicturesAtTheirSizeWithTheirLabels) {
    if (!installed("inkscape")) GTEST_SKIP() << "inkscape is not installed";
    test::TempDir dir;
    for (const char* name : {"demo", "rich_titles"}) {
        const std::string doc = examples + name + ".qvp";
        const auto texts = [&] {
            const std::string out = dir / (std::string(name) + "_emf.emf");
            EXPECT_EQ(test::run_ploxwin({"--export", out, doc}).status, 0);
            return emf_texts(bytes_of(out));
        }();
        for (const char* kind : {"emf", "wmf"}) {
            const std::string stem = std::string(name) + "_" + kind;
            const std::string picture = dir / (stem + "." + kind);
            if (std::string(kind) == "wmf") {
                ASSERT_EQ(test::run_ploxwin({"--export", picture, doc}).status, 0);
            }
            const std::string svg = dir / (stem + ".svg");
            const std::string log = dir / (stem + ".log");
            ASSERT_EQ(std::system(
                          ("HOME='" + dir.dir() + "' timeout 300 inkscape --export-type=svg " +
                           "--export-filename='" + svg + "' '" + picture + "' > '" + log + "' 2>&1")
                              .c_str()),
                      0)
                << test::read_file(log);
            const std::string text = test::read_file(svg);
            const auto info = metafile_info(bytes_of(picture));
            ASSERT_TRUE(info);
            std::smatch w, h;
            ASSERT_TRUE(std::regex_search(text, w, std::regex(R"re(width="([\d.]+)mm")re")));
            ASSERT_TRUE(std::regex_search(text, h, std::regex(R"re(height="([\d.]+)mm")re")));
            EXPECT_NEAR(std::stod(w[1]) * 100, info->size.cx, 3) << stem;
            EXPECT_NEAR(std::stod(h[1]) * 100, info->size.cy, 3) << stem;
            // Inkscape joins texts on one baseline into one element: the words are compared.
            size_t words = 0;
            for (const EmfText& t : texts)
                for (const std::string& word : words_of(t.ascii)) {
                    EXPECT_NE(text.find(word), std::string::npos) << stem << ": " << word;
                    ++words;
                }
            EXPECT_GT(words, 5u) << stem;
            // A line whose start Inkscape cannot find is dropped with this warning.
            EXPECT_EQ(test::read_file(log).find("Malformed SVG path"), std::string::npos) << stem;
        }
    }
}

} // namespace
} // namespace plox
