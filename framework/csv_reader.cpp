#include "framework/csv_reader.h"

#include <csv.h>

#include <algorithm>
#include <exception>
#include <string_view>

#include "platform/com/com_error.h"

namespace framework {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kBlockSize = 1 << 16;

// Cells keep their blanks: the parser would otherwise trim unquoted cells, and a cell written
// with blanks at either end would not come back as it was.
int NoBlanks(unsigned char) {
    return 0;
}

size_t LineEnds(std::string_view text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// libcsv's parser, told every line end outside a quoted field (CSV_REPALL_NL) so that lines are
// counted from what it reports: a record's line is the one its first field starts on.
class Reader {
  public:
    explicit Reader(const CsvRecordSink& sink) : sink_(sink) {
        if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
            throw com::ComError(com::err::OutOfMemory);
        csv_set_delim(&parser_, ';');
        csv_set_space_func(&parser_, NoBlanks);
    }
    ~Reader() { csv_free(&parser_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    std::optional<CsvQuoteError> Feed(std::string_view block) {
        const size_t parsed =
            csv_parse(&parser_, block.data(), block.size(), OnField, OnRecordEnd, this);
        Rethrow();
        if (parsed < block.size()) {
            if (csv_error(&parser_) != CSV_EPARSE) throw com::ComError(com::err::OutOfMemory);
            return CsvQuoteError{1 + linesBefore_ + LineEnds(block.substr(0, parsed)), false};
        }
        linesBefore_ += LineEnds(block);
        return std::nullopt;
    }

    std::optional<CsvQuoteError> Finish() {
        const bool closed = csv_fini(&parser_, OnField, OnRecordEnd, this) == 0;
        Rethrow();
        if (!closed) return CsvQuoteError{line_, true};
        return std::nullopt;
    }

  private:
    static void OnField(void* data, size_t size, void* self) {
        auto& r = *static_cast<Reader*>(self);
        if (r.failure_) return;
        std::string_view cell(static_cast<const char*>(data), size);
        if (r.cells_.empty()) r.recordLine_ = r.line_;
        r.line_ += LineEnds(cell);
        if (cell.starts_with('\'')) cell.remove_prefix(1);
        r.cells_.emplace_back(cell);
    }

    // `end` is the character that ended the record or the line (-1 at the end of the file).
    static void OnRecordEnd(int end, void* self) {
        auto& r = *static_cast<Reader*>(self);
        if (r.failure_) return;
        if (!r.cells_.empty()) {
            r.Give(r.recordLine_);
            r.lineHasRecord_ = true;
        } else if (end == '\n' && !r.lineHasRecord_) {
            r.blankLines_.push_back(r.line_);
        }
        if (end == '\n') {
            ++r.line_;
            r.lineHasRecord_ = false;
        }
    }

    // Gives the blank lines before the record, then the record. The sink's exceptions wait for
    // the parser to return: they must not unwind through its C frames.
    void Give(size_t line) {
        try {
            for (size_t blank : blankLines_) {
                std::vector<std::string> empty(1);
                sink_(blank, empty);
            }
            blankLines_.clear();
            sink_(line, cells_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        cells_.clear();
    }

    void Rethrow() {
        if (failure_) std::rethrow_exception(failure_);
    }

    const CsvRecordSink& sink_;
    csv_parser parser_{};
    std::vector<std::string> cells_;  // of the record being read
    size_t line_ = 1;                 // where the parser's next report starts
    size_t recordLine_ = 1;
    size_t linesBefore_ = 0;  // line ends in the blocks parsed whole
    bool lineHasRecord_ = false;
    std::vector<size_t> blankLines_;  // since the last record: left out if the file ends
    std::exception_ptr failure_;
};

}  // namespace

std::optional<CsvQuoteError> ReadCsv(std::istream& in, const CsvRecordSink& sink) {
    Reader reader(sink);
    std::string block(kBlockSize, '\0');
    for (bool first = true; in.read(block.data(), kBlockSize) || in.gcount() > 0; first = false) {
        std::string_view read(block.data(), static_cast<size_t>(in.gcount()));
        if (first && read.starts_with(kByteOrderMark)) read.remove_prefix(kByteOrderMark.size());
        if (auto error = reader.Feed(read)) return error;
    }
    if (in.bad()) throw com::ComError(com::err::PathFileAccess, "Cannot read the CSV file");
    return reader.Finish();
}

}  // namespace framework
