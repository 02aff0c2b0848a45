// Hand-written documents of the older layouts, shared by the version and fuzz tests.
#pragma once

#include <initializer_list>
#include <string>

namespace plox::test::older {

inline const std::string MINCHO = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9";

inline std::string lines(std::initializer_list<std::string> l) {
    std::string out;
    for (const std::string& s : l)
        out += s + "\r\n";
    return out;
}

// An axis block: a2 and a3 as the version writes them, the label font in points up to 1.5.
inline std::string axis(int i, const std::string& a2, const std::string& a3, int height) {
    return lines({"[AXIS-" + std::to_string(i) + "]", a2, a3,
                  std::to_string(height) + " 0 0 0 400 0 0 0 0 3 2 1 18", "Times New Roman",
                  "1 0 300 40 0 300 1", "1 0 150 40 0 300 1", ""});
}

inline std::string axes(const std::string& a2, const std::string& a3, int height) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += axis(i, a2, a3, height);
    return out;
}

inline std::string title(const std::string& first, const std::string& text, int height) {
    const std::string h = std::to_string(height);
    return lines({first, text, h + " 0 0 0 700 0 0 0 0 3 2 1 18", "Times New Roman",
                  h + " 0 0 0 700 0 0 0 128 3 2 1 17", MINCHO, ""});
}

inline std::string series_block(const std::string& name, const std::string& path,
                                const std::string& s3) {
    return lines({"[" + name + "]", path, s3, "40 255 300 0 0 0", "0 2 300 255", "0 0", "0 0", "",
                  "", "0 101 3 0 0 10 0 0", "1 40 255 300", "", ""});
}

inline std::string others(int symbol_height) {
    return lines({"[OTHERS]", " 2", "1 2 3 4 5 6 7 8 9",
                  std::to_string(symbol_height) + " 0 0 0 400 1 0 0 2 3 2 1 18", "Symbol", ""});
}

// A 1.0 document with one spline series whose data are embedded, one title, one arrow and one
// point object.
inline std::string version_1_0() {
    return lines({" PloxWin ver. 1.0  QVP file", "1"}) +
           series_block("a.dat", "a.dat", "2 0 7 0 1 10 2 -1") +
           lines({"[GRAPH]", "4000 1500 14000 10000", "150 1", "40 0 300 16777215", ""}) +
           axes("0 10 2", "1 0 1 1 1 1 0 0 0", -12) + lines({"[TITLE]", "1"}) +
           title("5000 12000 255", "Sample %D12 and %N03 %d12", -24) +
           lines({"[ARROW]", "1", "10 20 30 40 0 0 40 500 255", "", "[DOT]", "1",
                  "100 200 3 40 0 1 300 255 0 300", ""}) +
           others(-24) + lines({"[DATA]", "[a.dat]", "1 2", "3 4", "[End of Data]", ""});
}

} // namespace plox::test::older
