// Hostile input for every reader and computation of the module: random state lines, random
// points with gaps, NaN and infinities. Nothing may crash, hang or leave a malformed state.
#include "fixture.h"

#include "document/model.h"

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace plox;
using namespace plox::test;

namespace {

std::string random_line(std::mt19937& rng) {
    static const std::string pieces[] = {
        "1", "0",  "-1", " ",      "1e308", "-1e309", "nan", "inf", "0.5", "99999999999",
        "x", "\t", "6",  "1e-320", "+",     "-",      ".",   "e",   "%s",  "%n"};
    std::string line;
    const int parts = std::uniform_int_distribution<>(0, 14)(rng);
    for (int i = 0; i < parts; ++i) {
        if (rng() % 5 == 0)
            line += static_cast<char>(std::uniform_int_distribution<>(1, 255)(rng));
        else
            line += pieces[rng() % std::size(pieces)];
        if (rng() % 2) line += ' ';
    }
    return line;
}

double random_value(std::mt19937& rng) {
    switch (rng() % 8) {
    case 0:
        return ERROR_VALUE;
    case 1:
        return MASKED_VALUE;
    case 2:
        return std::numeric_limits<double>::quiet_NaN();
    case 3:
        return (rng() % 2 ? 1 : -1) * std::numeric_limits<double>::infinity();
    case 4:
        return std::uniform_real_distribution<>(-1e300, 1e300)(rng);
    default:
        return std::uniform_real_distribution<>(-10, 10)(rng);
    }
}

// The saved state must stay a count line followed by exactly that many lines.
void expect_well_formed(const std::string& text) {
    ASSERT_GE(text.size(), 3u);
    int lines = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') ++lines;
    const int count = std::stoi(text);
    EXPECT_EQ(count + 1, lines) << text;
    EXPECT_GE(count, 2);
    EXPECT_LE(count, 8);
}

std::string saved(const char* name, PloxexBlock* block) {
    std::string text;
    PloxexWriter w{&text, [](void* u, const char* b, size_t n) -> int32_t {
                       static_cast<std::string*>(u)->append(b, n);
                       return 1;
                   }};
    ex().save(0, &w, name, block);
    return text;
}

} // namespace

TEST(ExtFuzz, RandomStateLinesKeepThePeakBlockUsable) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 300; ++round) {
        char name[PLOXEX_KEY_SIZE] = "LORENF2";
        PloxexBlock* block = nullptr;
        ASSERT_EQ(ex().init(nullptr, name, &block, 1, nullptr, nullptr), 0);
        const int lines = std::uniform_int_distribution<>(0, 30)(rng);
        for (int i = 0; i < lines; ++i) {
            const std::string line = random_line(rng);
            const int32_t number = rng() % 10 == 0 ? static_cast<int32_t>(rng()) : i;
            ex().load(0, line.c_str(), number, name, block);
        }
        expect_well_formed(saved(name, block));
        std::vector<double> x(40), y(40);
        for (int i = 0; i < 40; ++i) {
            x[i] = i * 0.25 - 5;
            y[i] = rng() % 6 ? 1 / (1 + x[i] * x[i]) : random_value(rng);
        }
        const int32_t highest = ex().first(name, block, 40, x.data(), y.data());
        EXPECT_LE(highest, 8);
        std::vector<double> cx(x), cy(40);
        for (int32_t c = std::max(highest, 0); c >= 0; --c) {
            ex().second(name, block, c, 40, cx.data(), cy.data(), 40, x.data(), y.data());
            for (double v : cy)
                EXPECT_FALSE(std::isnan(v));
        }
        ex().free_block(block);
    }
}

TEST(ExtFuzz, EveryAnalysisSurvivesHostilePoints) {
    std::mt19937 rng(7);
    const char* keys[] = {"GAUSSF2", "LORENF2", "GetMax",  "GetMin",
                          "PeakDct", "SMOOTH",  "GAUSS_F", "bogus"};
    for (int round = 0; round < 200; ++round) {
        const int n = std::uniform_int_distribution<>(0, 300)(rng);
        std::vector<double> x(n), y(n);
        for (int i = 0; i < n; ++i) {
            x[i] = rng() % 4 ? i : random_value(rng);
            y[i] = random_value(rng);
        }
        for (const char* key : keys) {
            char name[PLOXEX_KEY_SIZE] = {};
            std::snprintf(name, sizeof name, "%s", key);
            PloxexBlock* block = nullptr;
            ex().init(nullptr, name, &block, 1, nullptr, nullptr);
            const int32_t highest = ex().first(name, block, n, x.data(), y.data());
            const int division = std::uniform_int_distribution<>(0, 50)(rng);
            std::vector<double> cx(division, 1.0), cy(division);
            for (int32_t c = std::min(highest, 10); c >= 0; --c)
                ex().second(name, block, c, division, cx.data(), cy.data(), n, x.data(), y.data());
            std::vector<std::string> lines;
            PloxexListSink sink{&lines, [](void* u, const char* l) {
                                    static_cast<std::vector<std::string>*>(u)->push_back(l);
                                }};
            ex().end(&sink, name, block);
            EXPECT_LE(lines.size(), 25u);
            ex().free_block(block);
        }
    }
}

TEST(ExtFuzz, ExtraFunctionsOnHostileValues) {
    std::mt19937 rng(11);
    std::vector<double> v(257), out(257);
    for (int round = 0; round < 100; ++round) {
        for (double& d : v)
            d = random_value(rng);
        for (int32_t index = 0; index < 8; ++index) {
            ASSERT_EQ(ex().function_set(index, v.data(), nullptr, nullptr, out.data(), 257), 0);
            if (index < 2 || index > 5) continue;
            // Point-wise functions: a missing or NaN argument gives ERROR_VALUE, never NaN.
            for (size_t i = 0; i < v.size(); ++i) {
                EXPECT_FALSE(std::isnan(out[i])) << index << " of " << v[i];
                if (!is_valid(v[i])) {
                    EXPECT_EQ(out[i], ERROR_VALUE) << index;
                }
            }
        }
    }
}
