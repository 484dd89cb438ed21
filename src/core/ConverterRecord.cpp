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
    } else {
        // The movie's version and kind still describe the source; nothing was written.
        row.reason = FailureText(LastFailure);
        row.movie_size.reset();
        row.sha256.clear();
    }
    Record.push_back(std::move(row));
}

}  // namespace quenlor
