#include "text/unconsuming_io.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "native/python.h"
#include "native/text.h"
#include "text/stream_chunk.h"

namespace py = pybind11;

namespace vantrel::text {

UnconsumingIO::UnconsumingIO(py::object stream)
    : stream_(PyUnicode_Check(stream.ptr()) ? import_module("io").attr("StringIO")(stream) : std::move(stream)) {}

void UnconsumingIO::write(Utf8Text text) const {
    stream_.attr("write")(decode_utf8(text.utf8));
}

void UnconsumingIO::write(const py::bytes &data) const {
    const py::str text(data.attr("decode")("utf-8", "strict"));
    write(text.cast<Utf8Text>());
}

py::str UnconsumingIO::read(py::handle size) {
    // The chunk is appended before `size` is looked at, so a refused size loses nothing, and
    // a chunk that cannot be taken leaves the buffer as it was.
    buffer_.append(stream_.attr("read")().cast<StreamChunk>().bytes);
    if (size.is_none()) {
        return decode_utf8(buffer_);
    }
    // Counted before the buffer is looked at: int() of the size may run Python code that
    // reads this object again and so moves the buffer.
    const std::uint64_t count = size.cast<std::uint64_t>();
    return decode_utf8(std::string_view(buffer_).substr(0, count));
}

}  // namespace vantrel::text
