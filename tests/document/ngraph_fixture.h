// An Ngraph 5.3 project written line by line, shared by the import and fuzz tests.
#pragma once

#include <string>
#include <vector>

namespace plox::test::ngraph_project {

// A font spec: family at column 2, Japanese face at 5, size at 8, style at 16, colour at 19.
inline std::string spec(char family, char face, const char* size, char style, char colour) {
    std::string s(20, ' ');
    s[2] = family;
    s[5] = face;
    s[8] = size[0];
    s[9] = size[1];
    s[16] = style;
    s[19] = colour;
    return s;
}

struct Project {
    std::vector<std::string> l;
    void add(const std::string& s, int times = 1) {
        for (int i = 0; i < times; ++i)
            l.push_back(s);
    }
    std::string text() const {
        std::string out;
        for (const std::string& s : l)
            out += s + "\r\n";
        return out;
    }
};

// A project with two series (a data series and a fit), texts, an arrow, a point object, four
// axes and a picture.
inline Project sample_project(bool with_data = false) {
    Project p;
    p.add(with_data ? "%Ngraph ver.5.3 project with data" : "%Ngraph ver.5.3 project");
    p.add("2");
    p.add("data.dat");
    p.add("1 2 0 0 0 1 20 1 30 40");
    p.add("0 1 -1 0 0");
    p.add("0 0 0");
    p.add("%1+1");
    p.add("");
    p.add("data.dat");
    p.add("1 3 1 0 51 2 20 4 30 40");
    p.add("0 1 -1 0 0");
    p.add("1 2.5 3.5");
    p.add("");
    p.add("");
    // Fit block: tolerance, derivative flag, a to g, function, seven derivatives.
    p.add("0.001");
    p.add("Y");
    for (int i = 0; i < 7; ++i)
        p.add(std::to_string(i + 1));
    p.add("%00*x+%01");
    p.add("x");
    p.add("1");
    p.add("", 5);
    p.add("2 5 10 2100 300 200 1200 800");
    p.add("            Y");
    p.add(spec('H', 'G', "12", 'B', '1') + spec('T', 'M', "14", 'I', '0') +
          spec('C', 'M', "10", 'N', '2') + spec('H', 'M', "09", 'N', '4') +
          spec('T', 'M', "10", 'N', '0') + spec('T', 'M', "11", 'N', '0') +
          spec('T', 'M', "12", 'O', '0') + "    ");
    p.add("skipped", 24);
    p.add("1");
    p.add("1 0.5 -1 1.5 2");
    p.add("0 0 0 0 0", 19);
    p.add("skipped", 21);
    // Texts 0 to 25.
    p.add("title");
    p.add("10 20 0");
    p.add("", 2);
    p.add("x axis");
    p.add("30 40 0");
    p.add("", 4);
    p.add("%C4%FHright");
    p.add("50 60 1");
    for (int n = 6; n < 26; ++n) {
        p.add(n == 6 ? "%S20big%S10small" : "");
        p.add(n == 6 ? "500 400 1" : "0 0 0");
    }
    // Arrows: the first used, the second not.
    p.add("400 300 600 500 250 1 30 4 1");
    p.add("1 2 3 4 5 6 7 8 0");
    p.add("", 18);
    // Point objects: the first with two points, the others empty.
    p.add("400 1000");
    p.add("500 1100");
    p.add("0 0", 8);
    p.add("2 30 27 5 2 15 20");
    for (int n = 1; n < 20; ++n) {
        p.add("0 0", 10);
        p.add("0 0 0 0 0 0 0");
    }
    // Axes X, Y, U, R.
    p.add("0 10 2 0 0 0");
    p.add("0");
    std::string labels(45, ' ');
    labels.replace(0, 1, "5");
    labels[4] = 'Y';
    labels[8] = 'N';
    labels.replace(12, 4, "0100");
    labels[20] = 'A';
    labels.replace(24, 4, "   3");
    labels.replace(28, 4, "0001");
    labels[32] = '3';
    labels[34] = '2';
    labels[40] = 'Y';
    labels[44] = 'Y';
    p.add(labels);
    p.add("0 10000 2 1 0 3 4");
    p.add("0 1 2 0 3");
    p.add("5 6 7 8 9");
    p.add("1 2 3 4 5");
    p.add("15 30");
    p.add("-1 2 1 0 0 1");
    p.add("1");
    p.add("1");
    p.add("0 10000 1 0 0 0 0");
    p.add("1 1 1 1 1");
    p.add("1 1 1 1 1");
    p.add("0 0 0 0 0");
    p.add("10 20");
    p.add("2 4 0.5 0 0 0");
    p.add("2");
    p.add("1");
    p.add("0 10000 0 1 0 0 0");
    p.add("1 1 1 1 1", 3);
    p.add("10 20");
    p.add("0 1 1 1 0 0");
    p.add("1");
    p.add("1");
    p.add("0 10000 0 1 0 0 0");
    p.add("1 1 1 1 1", 3);
    p.add("10 20");
    // Pictures: slot 0 empty, slot 1 used.
    p.add("");
    p.add("");
    p.add("pic.gra");
    p.add("500 400 2100");
    p.add("", 16);
    return p;
}

} // namespace plox::test::ngraph_project
