// The floor of a compressed movie's check: zlib's inflate of a "CWS" movie's stream alone, read
// in 1 MiB pieces, its output passing through a 64 KiB buffer and counted.
//   quenlor-bench-inflate MOVIE.swf
#include <zlib.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    FILE* file = std::fopen(argv[1], "rb");
    if (!file) return 2;
    std::vector<unsigned char> in(1 << 20), out(64 << 10);
    z_stream stream = {};
    inflateInit(&stream);
    unsigned long long total = 0;
    int result = Z_OK;
    std::fseek(file, 8, SEEK_SET);  // the movie's header
    for (size_t got; result == Z_OK && (got = std::fread(in.data(), 1, in.size(), file)) > 0;) {
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(got);
        while (result == Z_OK && stream.avail_in > 0) {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            result = inflate(&stream, Z_NO_FLUSH);
            total += out.size() - stream.avail_out;
        }
    }
    inflateEnd(&stream);
    std::fclose(file);
    std::printf("%llu\n", total + 8);
    return result == Z_STREAM_END ? 0 : 1;
}
