// Line-level reading and writing of the program's positional text files: a line reader over a
// byte buffer, a value scanner that counts conversions the way formatted input does, and a line
// writer with the printf conversions of the formats (locale-independent).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plox {

// Lines of a document held in memory. A line ends at LF; a CR before it and a trailing Ctrl-Z
// are dropped; a line holding only Ctrl-Z ends the file. Lines longer than the limit are cut
// (the rest of the physical line is skipped, so the positional reading stays in step).
class LineReader {
public:
    static constexpr size_t LINE_LIMIT = 512;

    explicit LineReader(std::string_view data) : data_(data) {}

    // Next line, at most limit - 1 bytes and cut at an embedded NUL; nullopt at the end.
    std::optional<std::string_view> next(size_t limit = LINE_LIMIT);
    // Next line, or empty at the end: positional readers take fill-in values from it.
    std::string_view line(size_t limit = LINE_LIMIT) {
        return next(limit).value_or(std::string_view{});
    }
    void skip(int lines) {
        for (int i = 0; i < lines && !at_end(); ++i)
            next();
    }
    bool at_end() const { return pos_ >= data_.size(); }
    // Consumes the next line only when it is empty.
    void skip_empty_line() {
        const size_t at = pos_;
        if (auto l = next(); l && !l->empty()) pos_ = at;
    }

    // Raw access for the [DATA] blocks: the next n bytes (fewer at the end) and the position.
    std::string_view bytes(size_t n);
    size_t position() const { return pos_; }
    size_t size() const { return data_.size(); }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

// Reads values from one line in order, like formatted input: after the first failed conversion
// nothing more is read, and a failed conversion leaves its target unchanged.
class Scan {
public:
    explicit Scan(std::string_view line) : s_(line) {}
    Scan& i32(int32_t& v); // %d, %ld
    Scan& u32(int32_t& v); // %u: the 32-bit pattern of the value
    Scan& real(double& v); // %g, %lf; only finite values convert
    Scan& i16(int16_t& v);
    Scan& word(std::string& v); // %s: one word
    Scan& hex32(uint32_t& v);   // %lx
    int count() const { return count_; }
    std::string_view rest() const { return s_.substr(pos_); }

private:
    bool start();
    std::string_view s_;
    size_t pos_ = 0;
    int count_ = 0;
    bool failed_ = false;
};

// Text lines with CR LF ends. Values are separated by one space.
class LineWriter {
public:
    struct Unsigned {
        uint32_t v;
    };

    LineWriter& text(std::string_view s) {
        out_.append(s);
        return *this;
    }
    LineWriter& end() {
        out_.append("\r\n");
        return *this;
    }
    LineWriter& line(std::string_view s) { return text(s).end(); }

    // Values without the line end, for lines that go on with text.
    template <typename... T> LineWriter& fields(T... v) {
        bool first = true;
        ((put_separator(first), put(v)), ...);
        return *this;
    }
    template <typename... T> LineWriter& values(T... v) { return fields(v...).end(); }

    std::string& buffer() { return out_; }

    static std::string format_g(double v); // "%g"

private:
    void put_separator(bool& first) {
        if (!first) out_ += ' ';
        first = false;
    }
    void put(int32_t v);
    void put(int16_t v) { put(static_cast<int32_t>(v)); }
    void put(Unsigned v);
    void put(double v) { out_ += format_g(v); }

    std::string out_;
};

} // namespace plox
