// The example documents and data files under examples/: written by make_examples, checked by
// the render tests.
#include "example_generator.h"

#include "document/document_io.h"
#include "document/graph_ops.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace plox::examples {

namespace {

std::string line(const char* format, double a, double b, double c = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

double gauss(double x, double centre, double width) {
    return std::exp(-0.5 * (x - centre) * (x - centre) / (width * width));
}

// A mercury lamp seen through a spectrometer: sharp lines on a faint continuum.
std::string lamp_data() {
    std::string out = "# wavelength [nm], intensity [counts/s]\n";
    const double lines[][2] = {{404.7, 40}, {435.8, 180}, {546.1, 260},
                               {577.0, 55}, {579.1, 60},  {615.0, 6}};
    for (int i = 0; i <= 900; ++i) {
        const double w = 350 + i * 0.5;
        double v = 0.04 + 0.3 * gauss(w, 560, 90);
        for (auto& l : lines)
            v += l[1] * gauss(w, l[0], 1.4);
        out += line("%.1f %.4g\n", w, v);
    }
    return out;
}

std::string continuum_data() {
    std::string out = "# wavelength [nm], blackbody at 2800 K, scaled\n";
    for (int i = 0; i <= 90; ++i) {
        const double w = 350 + i * 5;
        const double lm = w * 1e-9;
        const double planck = 1.0 / (std::pow(lm, 5) * (std::exp(1.4388e-2 / (lm * 2800)) - 1));
        out += line("%.0f %.4g\n", w, planck * 2.2e-27);
    }
    return out;
}

std::string calibration_data() {
    return "# wavelength [nm], line intensity\n404.7 40\n435.8 180\n546.1 260\n577.0 55\n579.1 "
           "60\n";
}

// Counts per energy bin, a model and measured rates with their uncertainty.
std::string histogram_data() {
    std::string out = "# bin centre [keV], counts\n";
    std::mt19937 rng(11);
    for (int i = 0; i < 20; ++i) {
        const double e = 0.25 + i * 0.5;
        const double mean = 110 * gauss(e, 4.2, 1.9) + 8;
        std::poisson_distribution<int> p(mean);
        out += line("%.2f %.0f\n", e, p(rng));
    }
    return out;
}

std::string model_data() {
    std::string out = "# bin start [keV], expected counts\n";
    for (int i = 0; i <= 20; ++i) {
        const double e = i * 0.5;
        out += line("%.2f %.2f\n", e, 110 * gauss(e + 0.25, 4.2, 1.9) + 8);
    }
    return out;
}

std::string rate_data() {
    std::string out = "# energy [keV], rate [1/s], standard error\n";
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(0, 1);
    for (int i = 0; i < 9; ++i) {
        const double e = 0.8 + i * 1.1;
        const double r = 95 * gauss(e, 4.4, 2.0) + 12;
        const double s = 3 + 0.08 * r;
        out += line("%.2f %.2f %.2f\n", e, r + s * noise(rng) * 0.6, s);
    }
    return out;
}

std::string resistivity_data() {
    std::string out = "# temperature [K], resistivity [uOhm cm]\n";
    for (int i = 0; i <= 60; ++i) {
        const double t = 2 + i * 5;
        out += line("%.0f %.1f\n", t, 180 + 0.42 * t * t + 2e-4 * t * t * t * t / 60);
    }
    return out;
}

std::string resonance_data() {
    std::string out = "# frequency [kHz], amplitude [mV]\n";
    for (int i = 0; i <= 200; ++i) {
        const double f = 10 + i * 0.2;
        const double q = 12, f0 = 30;
        const double a =
            1 / std::sqrt(std::pow(1 - (f / f0) * (f / f0), 2) + std::pow(f / (f0 * q), 2));
        out += line("%.1f %.3f\n", f, 8 * a);
    }
    return out;
}

std::string oscillation_data(double decay, double frequency) {
    std::string out = "# time [ms], signal [V]\n";
    for (int i = 0; i <= 400; ++i) {
        const double t = i * 0.05;
        out += line("%.2f %.5f\n", t, std::exp(-t / decay) * std::sin(2 * M_PI * frequency * t));
    }
    return out;
}

// A hand-written GRA picture: a lamp, a lens, a sample and a detector on one optical axis.
std::string gra_picture() {
    return "%Ngraph GRA file\n"
           "%Creator: PloxWin examples, written by hand\n"
           "I,5,0,0,10000,6000,10000\n"
           "V,5,0,0,10000,6000,1\n"
           "A,5,0,25,0,0,0\n"
           "O,1,7\n"
           "B,5,100,100,9900,5900,0\n"
           "A,5,2,15,0,0,0\n"
           "L,4,600,3000,9400,3000\n"
           "A,5,0,25,0,0,0\n"
           "O,1,6\n"
           "C,4,1300,3000,550,1\n"
           "C,4,1300,3000,550,0\n"
           "L,4,1300,2150,1300,1900\n"
           "L,4,1900,2400,2100,2200\n"
           "L,4,700,2400,500,2200\n"
           "O,1,3\n"
           "C,5,3800,3000,220,1,1300\n"
           "C,5,3800,3000,220,0,1300\n"
           "O,1,5\n"
           "B,5,5900,2300,6500,3700,1\n"
           "B,5,5900,2300,6500,3700,0\n"
           "O,1,2\n"
           "D,11,5,1,8300,2400,9100,2600,9100,3400,8300,3600,8000,3000\n"
           "A,5,0,25,4,0,0\n"
           "L,4,2000,3000,3500,2450\n"
           "L,4,2000,3000,3500,3550\n"
           "L,4,4100,2450,5900,2950\n"
           "L,4,4100,3550,5900,3050\n"
           "A,5,0,20,0,0,0\n"
           "C,7,6200,3000,900,0,900,300,1500\n"
           "P,2,6200,3000\n"
           "F,8,1,0,0,0,0,0,1100,0\n"
           "M,2,700,1500\n"
           "S,1,\"Lamp\"\n"
           "M,2,3350,1500\n"
           "S,1,\"Lens\"\n"
           "M,2,5650,1500\n"
           "S,1,\"Sample\"\n"
           "M,2,7950,1500\n"
           "S,1,\"Detector\"\n"
           "F,8,0,2,0,0,4,0,1000,0\n"
           "M,2,2100,4900\n"
           "K,1,\"\x83\xc9\x81\x81\x82T\x82S\x82U\x81\x40nm\"\n"
           "F,8,0,0,0,0,1,1,900,0\n"
           "M,2,9600,4500\n"
           "S,1,\"optical axis\"\n";
}

LogFont latin(int32_t height) {
    LogFont f = default_axis_label_font();
    f.height = height;
    return f;
}

GraphObject text(int32_t type, int32_t x, int32_t y, int32_t justify, std::string markup,
                 int32_t height, bool rotated = false) {
    GraphObject o;
    o.used = 1;
    o.Type = type;
    o.x = x;
    o.y = y;
    o.alignment = justify;
    o.Str = std::move(markup);
    o.Font1 = latin(height);
    o.Font2 = latin(height);
    o.Font2.charset = 128;
    o.Font2.face = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9"; // "ＭＳ 明朝"
    o.Font3 = default_symbol_font();
    o.Font3.italic = 0;
    o.Font3.height = height;
    if (rotated)
        for (LogFont* f : {&o.Font1, &o.Font2, &o.Font3})
            f->escapement = f->orientation = 900;
    return o;
}

void axis(Graph& g, int index, double from, double to, double step, int division, int fraction,
          int scale = 0) {
    Axis& a = g.axes[index];
    a.from = from;
    a.to = to;
    a.increment = step;
    a.division = division;
    a.auto_step = 0;
    a.fraction_digits = fraction;
    a.scale_type = scale;
    a.label_font.height = -1200;
    a.major_line.width = 20;
    a.minor_line.width = 20;
    a.label_shift_down = 0;
}

Graph base_graph(const char* comment) {
    Graph g;
    g.comment = comment;
    g.scales_valid = 1;
    g.frame_line.width = 25;
    for (int i = 0; i < 4; ++i)
        g.axes[i].label_font.height = -1200;
    return g;
}

Series& data_series(Graph& g, const char* file, int32_t line_type, int32_t color,
                    int32_t plot = 0) {
    Series& s = g.series[add_series(g, file, nullptr)];
    s.SkipComment = 1;
    s.LineType = line_type;
    s.line = {25, color, 300};
    s.PlotType = plot;
    s.PlotSize = 220;
    s.marker_color = color;
    s.fill_color = 0xFFFFFF;
    return s;
}

void add_titles(Graph& g, const std::string& x, const std::string& y) {
    const int32_t w = g.frame_width, h = g.frame_height;
    g.objects[find_free_object_slot(g)] = text(object_type::TitleX, w / 2, h + 1300, 1, x, -1400);
    g.objects[find_free_object_slot(g)] =
        text(object_type::TitleY, -1500, h / 2, 1, y, -1400, true);
}

Graph spectrum_graph() {
    Graph g = base_graph("Emission spectrum of a mercury lamp on a logarithmic intensity axis");
    axis(g, AxisX, 350, 800, 50, 5, 0);
    axis(g, AxisY, 0.01, 1000, 1, 9, 0, 1);
    data_series(g, "spectrum_lamp.dat", 1, 0x8B3A1F);
    data_series(g, "spectrum_continuum.dat", 2, 0x2F6FD0).line.width = 30;
    Series& cal = data_series(g, "spectrum_lines.dat", 0, 0x3C8C2E, 7);
    cal.fill_color = 0xC8F0C8;
    cal.PlotSize = 260;
    add_titles(g, "Wavelength  %Gl%A / nm", "Intensity / counts s^-1@");
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 9000, 900, 0,
             "%01E Hg lamp\\n%02E continuum (2800 K)\\n%03E reference lines", -1200);
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 6300, 700, 0, "Hg  %I546.1 nm%R", -1100);
    return g;
}

Graph errorbar_graph() {
    Graph g = base_graph("Histogram with model steps and measured rates with error bars");
    axis(g, AxisX, 0, 10, 2, 4, 0);
    axis(g, AxisY, 0, 140, 20, 2, 0);
    Series& bars = data_series(g, "histogram_counts.dat", 0, 0xE8C8A0, 13);
    bars.PlotSize = 420;
    bars.line.width = 10;
    bars.BarBottom = 0;
    Series& model = data_series(g, "histogram_model.dat", 0, 0x2020B0, 34);
    model.line.width = 30;
    // The legend shows the staircase's colour through the curve line sample ("%02F").
    model.curve_line = {30, 0x2020B0, 300};
    model.curve_line_type = 1;
    Series& rates = data_series(g, "histogram_rates.dat", 0, 0x202020, 1);
    rates.Errorbar2 = 2;
    rates.line = {20, 0x202020, 300};
    rates.PlotSize = 200;
    add_titles(g, "Energy  %IE%R / keV", "Counts per bin");
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 9200, 900, 0, "%01E counts\\n%02F model\\n%03E rate (%Gs%A error)",
             -1200);
    return g;
}

Graph titles_graph() {
    Graph g = base_graph("Titles with scripts, Greek letters, Japanese and a multiplier label");
    axis(g, AxisX, 0, 300, 50, 5, 0);
    axis(g, AxisY, 0, 70000, 10000, 2, 0);
    g.axes[AxisY].integer_digits = 3;
    data_series(g, "resistivity.dat", 1, 0x7A2A8E, 5).PlotSize = 160;
    add_titles(g, "\x89\xb7\x93\x78  %IT%R / K", "%Gr%A_xx@ / %GmW%A cm");
    g.objects[1].Font3.face = "Symbol";
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 1200, 1300, 0,
             "%Gr%A(%IT%R) = %Gr%A_0@ + %IA%R %IT%R^2@ + %IB%R %IT%R^4@", -1400);
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 1200, 2600, 0,
             "\x8e\x8e\x97\xbf\x20\x41\x81\x46\x8f\xc4\x93\xdd\x8c\xe3"
             "  %S080(%Gr%A_0@ = 180 %GmW%A cm)",
             -1400);
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 1200, 3900, 0,
             "%BBold%R, %IItalic%R, %UUnderlined%U, %Kc02020red%K000000, %S150large", -1200);
    return g;
}

GraphObject arrow(int32_t type, int32_t heads, double x1, double y1, double x2, double y2,
                  int32_t color) {
    GraphObject o;
    o.used = 1;
    o.Type = type;
    o.alignment = heads;
    o.position = {x1, y1, x2, y2};
    o.LineWidth = 25;
    o.Length = 300;
    o.Open = 30;
    o.Shut = 80;
    o.Color = color;
    o.LineStyle = 1;
    return o;
}

GraphObject point_object(int32_t plot, std::vector<Point32> pts, int32_t color, int32_t fill) {
    GraphObject o;
    o.used = 1;
    o.Type = object_type::PointObject;
    o.PlotType = plot;
    o.alignment = static_cast<int32_t>(pts.size());
    for (size_t i = 0; i < pts.size(); ++i)
        o.points[i] = pts[i];
    o.x = pts[0].x;
    o.y = pts[0].y;
    o.Color = color;
    o.Color2 = fill;
    o.LineWidth = 25;
    o.LineStyle = 1;
    o.Size1 = 300;
    o.DotStyle = 0;
    return o;
}

Graph annotation_graph() {
    Graph g = base_graph("Arrows, rectangles and point objects around a resonance curve");
    axis(g, AxisX, 10, 50, 5, 5, 0);
    axis(g, AxisY, 0, 120, 20, 2, 0);
    data_series(g, "resonance.dat", 1, 0x603010).line.width = 30;
    add_titles(g, "Frequency  %If%R / kHz", "Amplitude / mV");
    GraphObject box;
    box.used = 1;
    box.Type = object_type::Rectangle;
    box.position = {88, 8, 134, 30};
    box.Length = 80;
    box.Pitch = 15;
    box.Color = 0x606060;
    box.Color2 = 0xE0F8FF;
    g.objects[find_free_object_slot(g)] = box;
    g.objects[find_free_object_slot(g)] = text(
        object_type::Text, 9100, 1500, 0, "Resonance\\n%If%R_0@ = 30.0 kHz\\n%IQ%R = 12", -1200);
    // A filled arrow from the box to the peak, both ends given in axis values.
    GraphObject to_peak = arrow(object_type::FilledArrow, 1, 34.9, 93, 30.9, 96.5, 0xA01010);
    to_peak.RefX = to_peak.RefY = 1;
    g.objects[find_free_object_slot(g)] = to_peak;
    // The width at half the maximum, with open heads at both ends.
    GraphObject fwhm = arrow(object_type::OpenArrow, 3, 28.75, 47.9, 31.25, 47.9, 0x006000);
    fwhm.RefX = fwhm.RefY = 1;
    fwhm.Length = 200;
    g.objects[find_free_object_slot(g)] = fwhm;
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 7750, 6250, 0, "%K008000%GD%A%If%R = %If%R_0@/%IQ%R", -1100);
    GraphObject range = arrow(object_type::Line, 1, 35, 96, 135, 96, 0x505050);
    range.Length = 250;
    range.LineStyle = 2;
    g.objects[find_free_object_slot(g)] = range;
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 7000, 9450, 1, "%Iline with end bars%R", -1000);
    GraphObject rounded = box;
    rounded.position = {8, 8, 52, 44};
    rounded.Length = 0;
    rounded.Size1 = rounded.Size2 = 300;
    rounded.Color2 = 0xF4F4F4;
    g.objects[find_free_object_slot(g)] = rounded;
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 1200, 1600, 0, "Point objects", -1100);
    g.objects[find_free_object_slot(g)] =
        point_object(30, {{1900, 2100}, {2376, 2445}, {2194, 3005}, {1606, 3005}, {1424, 2445}},
                     0x303030, 0x70C0F0);
    g.objects[find_free_object_slot(g)] = point_object(
        32, {{3000, 2100}, {3700, 2400}, {3500, 3100}, {2800, 2950}}, 0xA02080, 0xFFFFFF);
    g.objects[find_free_object_slot(g)] =
        point_object(29, {{4000, 3000}, {4300, 2200}, {4600, 3000}, {4900, 2200}}, 0x208020, 0);
    GraphObject sample = point_object(14, {{1900, 3800}}, 0x8B3A1F, 0x8B3A1F);
    sample.Length = 500;
    sample.Size1 = 260;
    g.objects[find_free_object_slot(g)] = sample;
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 2700, 3900, 0, "legend sample", -1000);
    return g;
}

Graph picture_graph() {
    Graph g = base_graph("A hand-written GRA picture beside its data");
    g.frame_height = 8000;
    axis(g, AxisX, 0, 20, 5, 5, 0);
    axis(g, AxisY, -1, 1, 0.5, 5, 1);
    data_series(g, "oscillation_fast.dat", 1, 0x8B3A1F);
    add_titles(g, "Time  %It%R / ms", "Signal / V");
    GraphObject picture;
    picture.used = 1;
    picture.Type = object_type::Picture;
    picture.Str = "optical_setup.gra";
    picture.position = {0, 108, 0, 0};
    picture.picture_box = {0, 0, 14000, 8400};
    g.objects[find_free_object_slot(g)] = picture;
    g.objects[find_free_object_slot(g)] =
        text(object_type::Text, 7000, 20000, 1,
             "Set-up used for the measurement above (GRA picture)", -1200);
    return g;
}

} // namespace

std::unique_ptr<Graph> two_graph(bool upper) {
    auto g = std::make_unique<Graph>(
        base_graph(upper ? "Upper graph of a two-graph page" : "Lower graph of a two-graph page"));
    g->frame_top = upper ? 2000 : 16000;
    g->frame_height = 9000;
    axis(*g, AxisX, 0, 20, 5, 5, 0);
    axis(*g, AxisY, -1, 1, 0.5, 5, 1);
    data_series(*g, upper ? "oscillation_fast.dat" : "oscillation_slow.dat", 1,
                upper ? 0x8B3A1F : 0x2F6FD0);
    add_titles(*g, "Time  %It%R / ms", upper ? "%IU%R_1@ / V" : "%IU%R_2@ / V");
    g->objects[find_free_object_slot(*g)] =
        text(object_type::Text, 13700, 900, 2, upper ? "(a)  %Gt%A = 4 ms" : "(b)  %Gt%A = 12 ms",
             -1300);
    return g;
}

const std::vector<Example>& documents() {
    static const std::vector<Example> list{{"spectrum.qvp", spectrum_graph},
                                           {"errorbars_bars_steps.qvp", errorbar_graph},
                                           {"rich_titles.qvp", titles_graph},
                                           {"annotations.qvp", annotation_graph},
                                           {"gra_picture.qvp", picture_graph}};
    return list;
}

const std::vector<std::pair<std::string, std::string>>& data_files() {
    static const std::vector<std::pair<std::string, std::string>> list{
        {"spectrum_lamp.dat", lamp_data()},
        {"spectrum_continuum.dat", continuum_data()},
        {"spectrum_lines.dat", calibration_data()},
        {"histogram_counts.dat", histogram_data()},
        {"histogram_model.dat", model_data()},
        {"histogram_rates.dat", rate_data()},
        {"resistivity.dat", resistivity_data()},
        {"resonance.dat", resonance_data()},
        {"oscillation_fast.dat", oscillation_data(4, 0.45)},
        {"oscillation_slow.dat", oscillation_data(12, 0.2)},
        {"optical_setup.gra", gra_picture()}};
    return list;
}

bool write_examples(const std::string& dir, std::string* failed) {
    for (const auto& [name, contents] : data_files()) {
        std::ofstream out(dir + name, std::ios::binary | std::ios::trunc);
        out << contents;
        out.close();
        if (!out) {
            if (failed) *failed = name;
            return false;
        }
    }
    IoContext io;
    io.ask_before_overwrite = false;
    for (const Example& e : documents()) {
        Graph g = e.make();
        if (!save_document(dir + e.name, g, false, io).ok()) {
            if (failed) *failed = e.name;
            return false;
        }
    }
    GraphSet set;
    set.graphs.push_back(two_graph(true));
    set.graphs.push_back(two_graph(false));
    set.current = 0;
    if (!save_bundle(dir + BUNDLE, set, false, io).ok()) {
        if (failed) *failed = BUNDLE;
        return false;
    }
    return true;
}

} // namespace plox::examples
