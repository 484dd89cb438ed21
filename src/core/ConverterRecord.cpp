#include "quenlor/Converter.h"
#include "quenlor/Failure.h"

namespace quenlor {

void Converter::RecordRowDone() {
    RecordRow row = std::move(facts_);
    facts_ = RecordRow{};
    row.source = SourceFile;
    row.succeeded = ExtractOk;
    if (ExtractOk) {
        row.output = TargetFile;
        // The same movie found in several places is written each time, and said so.
        if (!row.sha256.empty()) {
            const auto first = first_movies_.emplace(row.sha256, TargetFile);
            if (!first.second) row.duplicate_of = first.first->second;
        }
    } else {
        // The movie's version and kind still describe the source; nothing was written.
        row.reason = FailureText(LastFailure);
        row.movie_size.reset();
        row.sha256.clear();
        row.facts = MovieFacts{};
    }
    Record.push_back(std::move(row));
}

}  // namespace quenlor
