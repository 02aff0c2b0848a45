// Opening and saving documents and bundles: version detection, placing read graphs into the set,
// [DATA] restoration, path resolution and atomic writing.
#include "document/document_io.h"

#include "document/data_section.h"
#include "document/extension_io.h"
#include "document/file_access.h"
#include "document/graph_ops.h"
#include "document/ngraph_import.h"
#include "document/paths.h"
#include "document/prompter.h"
#include "document/qvp_format.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace plox {
namespace {

constexpr const char* UNSUPPORTED = "未サポートのQVP-fileです\n新しいPloxWinを手に入れてください";
constexpr const char* NOT_A_DOCUMENT = "不正なファイルです";
constexpr const char* REPLACE_ALL = "作業中の全てのグラフを消去します\nいいですか？";
constexpr const char* WRITE_ERROR = "File write error!";

IoStatus fail(IoContext& ctx, IoStatus::Code code, std::string title, std::string text) {
    if (ctx.prompter) ctx.prompter->message(title, text, Buttons::Ok, Icon::Error);
    IoStatus st;
    st.code = code;
    st.message = std::move(text);
    return st;
}

bool read_whole_file(const std::string& path, std::string& out, int& error) {
    return files::read_regular(path, out, error);
}

void report_skipped_series(const ReadInfo& info, IoContext& ctx) {
    if (info.series_skipped > 0 && ctx.prompter)
        ctx.prompter->message("Error", series_limit_message(LimitMessage::Reading), Buttons::Ok,
                              Icon::Error);
}

void resolve(Graph& g, int graph_index, const std::string& path, const ReadInfo& info,
             IoContext& ctx, IoStatus& st) {
    paths::ResolveOptions ro;
    ro.document_path = path;
    ro.data_embedded = info.with_data != 0;
    ro.temp_dir = temp_directory(ctx);
    ro.saved_path = info.saved_path;
    ro.prefer_temp = ctx.prior_temp;
    for (int s : paths::resolve_paths(g, ro))
        st.missing.push_back({graph_index, s});
}

// Positions the reader after the "[DATA]" line that follows a graph body. Older documents may
// hold lines the positional reader did not expect before it.
void skip_to_data_section(LineReader& r) {
    while (const auto line = r.next())
        if (*line == "[DATA]") return;
}

// A converted Ngraph project is named like a document next to it, so that saving never writes
// over the project.
std::string ngraph_document_name(const std::string& path) {
    const std::string full = paths::absolute(path);
    return std::string(paths::directory_of(full)) + std::string(paths::stem_of(full)) + ".qvp";
}

IoStatus load_single(const std::string& path, LineReader& r, GraphSet& set, IoContext& ctx,
                     int code) {
    const bool ngraph = code < version::V1_0;
    auto g = create_graph(ngraph ? ngraph_document_name(path) : paths::absolute(path));
    ReadInfo info;
    if (ngraph)
        import_ngraph(r, *g, code, info, ctx);
    else
        read_graph_body(r, *g, code, info, ctx);
    report_skipped_series(info, ctx);
    g->unmodified = 1;
    g->scales_valid = 1;

    Graph* current = set.current_graph();
    int index;
    if (current && is_empty_graph(*current)) {
        index = set.current;
        set.graphs[index] = std::move(g);
    } else {
        set.graphs.push_back(std::move(g));
        index = static_cast<int>(set.graphs.size()) - 1;
    }
    set.current = index;
    Graph& placed = *set.graphs[index];

    IoStatus st;
    st.with_data = info.with_data != 0;
    if (info.with_data && ngraph) {
        extract_data_blocks(r, ctx, true, "[EOF]");
    } else if (info.with_data) {
        skip_to_data_section(r);
        extract_data_blocks(r, ctx, true);
    }
    resolve(placed, index, path, info, ctx, st);
    return st;
}

IoStatus load_bundle(const std::string& path, LineReader& r, GraphSet& set, IoContext& ctx) {
    bool any_work = false;
    for (const auto& g : set.graphs)
        any_work = any_work || !is_empty_graph(*g) || !g->unmodified;
    if (any_work && ctx.prompter &&
        ctx.prompter->message("確認", REPLACE_ALL, Buttons::YesNoCancel, Icon::Question) ==
            Answer::No) {
        IoStatus st;
        st.code = IoStatus::Code::Cancelled;
        return st;
    }

    set.bundle_name = paths::absolute(path);
    const std::string dir(paths::directory_of(set.bundle_name));
    int32_t count = 0, print_scale = set.print_scale;
    std::array<int32_t, 4> links = set.axis_link;
    Scan sc(r.line());
    sc.i32(count).i32(links[0]).i32(links[1]).i32(links[2]).i32(links[3]).i32(print_scale);
    if (sc.count() >= 5) set.axis_link = links;
    if (sc.count() >= 6) set.print_scale = print_scale;

    std::vector<ReadInfo> infos;
    bool with_data = false, stopped = false;
    for (int n = 0; n < count && n < MAX_GRAPHS && !r.at_end(); ++n) {
        std::string_view name = r.line(PATH_CAPACITY);
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
            name = name.substr(1, name.size() - 2);
        const int code = detect_version(r.line());
        if (code < version::V1_0 || code > version::V1_8) {
            // A newer graph ends the reading; the graphs read so far stay.
            stopped = true;
            fail(ctx, IoStatus::Code::Unsupported, "エラー",
                 code > version::V1_8 ? UNSUPPORTED : NOT_A_DOCUMENT);
            break;
        }
        auto g = create_graph(dir + std::string(name));
        ReadInfo info;
        read_graph_body(r, *g, code, info, ctx);
        report_skipped_series(info, ctx);
        g->unmodified = 1;
        g->scales_valid = 1;
        with_data = with_data || info.with_data;
        if (n < static_cast<int>(set.graphs.size()))
            set.graphs[n] = std::move(g);
        else
            set.graphs.push_back(std::move(g));
        set.current = n;
        infos.push_back(info);
    }
    if (set.graphs.empty()) set.graphs.push_back(create_graph());
    if (set.current < 0 || set.current >= static_cast<int>(set.graphs.size())) set.current = 0;

    IoStatus st;
    if (stopped) return st;
    st.with_data = with_data;
    if (with_data) {
        skip_to_data_section(r);
        extract_data_blocks(r, ctx, true);
    }
    for (size_t n = 0; n < infos.size(); ++n) {
        ReadInfo info = infos[n];
        info.with_data = with_data;
        resolve(*set.graphs[n], static_cast<int>(n), path, info, ctx, st);
    }
    return st;
}

// Writes `text` to a new file in the folder of `path` and renames it over `path`; a `path` that
// is a device, FIFO or folder is refused, a link to a regular file is written through.
IoStatus write_atomically(const std::string& path, const std::string& text, IoContext& ctx) {
    const files::WriteResult r = files::replace_file(path, text);
    switch (r.stage) {
    case files::WriteResult::Stage::Done:
        return {};
    case files::WriteResult::Stage::Refused:
        return fail(ctx, IoStatus::Code::OpenFailed, paths::OPEN_ERROR_TITLE, r.message);
    case files::WriteResult::Stage::Create:
        return fail(ctx, IoStatus::Code::OpenFailed, paths::OPEN_ERROR_TITLE,
                    paths::open_error_message(r.error, path, true));
    case files::WriteResult::Stage::Write:
        break;
    }
    return fail(ctx, IoStatus::Code::WriteFailed, "Error", WRITE_ERROR);
}

WriteOptions options_for(const std::string& path, bool with_data, const IoContext& ctx) {
    WriteOptions o;
    o.with_data = with_data;
    o.same_directory = ctx.same_directory;
    o.document_path = paths::absolute(path);
    return o;
}

void prepare_for_writing(Graph& g, const IoContext& ctx) {
    if (ctx.page) {
        g.page_width = ctx.page->width;
        g.page_height = ctx.page->height;
        g.paper_code = ctx.page->paper_code;
        g.landscape = ctx.page->landscape;
    }
    // The free/held choice of fit parameters is not stored.
    for (int i = 0; i < g.series_count && i < MAX_SERIES; ++i)
        if (g.series[i].fit) g.series[i].fit->parameter_free.fill(1);
}

} // namespace

int detect_version(std::string_view line, const ExtensionIo* extension) {
    if (extension) {
        if (const int code = extension->check_qvp(line); code != version::None) return code;
    }
    static constexpr std::string_view prefix = " PloxWin ver. 1.";
    if (line == VERSION_LINE_BUNDLE) return version::Bundle;
    if (line.size() != prefix.size() + 11 || line.substr(0, prefix.size()) != prefix)
        return version::None;
    const char minor = line[prefix.size()];
    if (minor < '0' || minor > '9' || line.substr(prefix.size() + 1) != "  QVP file")
        return version::None;
    return version::V1_0 + (minor - '0');
}

bool is_version_line(std::string_view line, const ExtensionIo* extension) {
    return detect_version(line, extension) != version::None;
}

bool file_has_version_line(const std::string& path, const ExtensionIo* extension) {
    const int fd = files::open_regular(path);
    if (fd < 0) return false;
    char buf[LineReader::LINE_LIMIT];
    ssize_t n;
    do
        n = ::read(fd, buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n <= 0) return false;
    LineReader r(std::string_view(buf, static_cast<size_t>(n)));
    const auto first = r.next();
    return first && is_version_line(*first, extension);
}

IoStatus load_document(const std::string& path, GraphSet& set, IoContext& ctx) {
    std::string bytes;
    int error = 0;
    if (!read_whole_file(path, bytes, error))
        return fail(ctx, IoStatus::Code::OpenFailed, paths::OPEN_ERROR_TITLE,
                    paths::open_error_message(error, path));
    LineReader r(bytes);
    const int code = detect_version(r.line(), ctx.extension);
    if (code < 0) return fail(ctx, IoStatus::Code::NotADocument, "エラー", NOT_A_DOCUMENT);
    if (code == version::Bundle) return load_bundle(path, r, set, ctx);
    if (code > version::V1_8 || (code > version::NgraphWithData && code < version::V1_0))
        return fail(ctx, IoStatus::Code::Unsupported, "エラー", UNSUPPORTED);

    const Graph* current = set.current_graph();
    if (static_cast<int>(set.graphs.size()) >= MAX_GRAPHS &&
        !(current && is_empty_graph(*current))) {
        IoStatus st;
        st.code = IoStatus::Code::NoRoom;
        return st;
    }
    IoStatus st = load_single(path, r, set, ctx, code);
    if (ctx.add_recent) ctx.add_recent(paths::absolute(path));
    return st;
}

bool read_template(const std::string& path, Graph& g, IoContext& ctx) {
    std::string bytes;
    int error = 0;
    if (!read_whole_file(path, bytes, error)) return false;
    LineReader r(bytes);
    const int code = detect_version(r.line());
    ReadInfo info;
    if (code < version::V1_0 || code > version::V1_8) return false;
    g = Graph{};
    if (!read_graph_body(r, g, code, info, ctx)) return false;
    g.scales_valid = 0;
    g.unmodified = 1;
    return true;
}

bool with_data_choice(const std::vector<const Graph*>& graphs, bool with_data_setting,
                      const IoContext& ctx) {
    if (with_data_setting) return true;
    for (const Graph* g : graphs)
        for (int i = 0; i < g->series_count && i < MAX_SERIES; ++i)
            for (const std::string& e : ctx.extracted_files)
                if (paths::equal_nocase(g->series[i].file_name, e)) return true;
    return false;
}

std::string proposed_save_name(std::string_view name) {
    if (name.size() < 3) return "Untitled.qvp";
    const std::string_view dir = paths::directory_of(name);
    return std::string(dir) + std::string(paths::stem_of(name)) + ".QVP";
}

IoStatus save_document(const std::string& path, Graph& g, bool with_data, IoContext& ctx,
                       bool layout_1_5) {
    prepare_for_writing(g, ctx);
    LineWriter w;
    if (layout_1_5)
        write_graph_document_1_5(w, g, options_for(path, with_data, ctx), ctx);
    else
        write_graph_document(w, g, options_for(path, with_data, ctx), ctx);
    if (with_data) {
        w.line("[DATA]");
        write_data_blocks(w, data_section_files({&g}), ctx);
    }
    IoStatus st = write_atomically(path, w.buffer(), ctx);
    if (!st.ok()) return st;
    mark_saved(g);
    set_text(g.file_name, paths::absolute(path), PATH_CAPACITY);
    if (ctx.add_recent) ctx.add_recent(g.file_name);
    return st;
}

IoStatus save_bundle(const std::string& path, GraphSet& set, bool with_data, IoContext& ctx,
                     bool layout_1_5) {
    const std::string bundle = paths::absolute(path);
    const std::string dir(paths::directory_of(bundle));
    LineWriter w;
    w.line(VERSION_LINE_BUNDLE);
    const auto& l = set.axis_link;
    w.text(" ").values(static_cast<int32_t>(set.graphs.size()), l[0], l[1], l[2], l[3],
                       set.print_scale);
    std::vector<const Graph*> graphs;
    const WriteOptions o = options_for(path, with_data, ctx);
    for (size_t i = 0; i < set.graphs.size(); ++i) {
        Graph& g = *set.graphs[i];
        if (g.file_name.empty())
            set_text(g.file_name,
                     dir + std::string(paths::stem_of(bundle)) + std::to_string(i + 1) + ".QVP",
                     PATH_CAPACITY);
        prepare_for_writing(g, ctx);
        w.text("[").text(paths::file_name_of(g.file_name)).line("]");
        if (layout_1_5)
            write_graph_document_1_5(w, g, o, ctx);
        else
            write_graph_document(w, g, o, ctx);
        graphs.push_back(&g);
    }
    if (with_data) {
        w.line("[DATA]");
        write_data_blocks(w, data_section_files(graphs), ctx);
    }
    IoStatus st = write_atomically(path, w.buffer(), ctx);
    if (!st.ok()) return st;
    for (auto& g : set.graphs)
        mark_saved(*g);
    set.bundle_name = bundle;
    if (ctx.add_recent) ctx.add_recent(bundle);
    return st;
}

IoStatus save_template(const std::string& path, const Graph& g, IoContext& ctx) {
    WriteOptions o = options_for(path, false, ctx);
    o.template_document = true;
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    return write_atomically(path, w.buffer(), ctx);
}

} // namespace plox
