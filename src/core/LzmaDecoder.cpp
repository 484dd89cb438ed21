// The built-in LZMA decoder: a range decoder and the literal, match and repeat coders of the LZMA
// format, decoding symbol by symbol from input handed over in pieces. A symbol is decoded only
// when enough input is at hand for the longest one (or when no more input comes), so a piece that
// ends inside a symbol never leaves half-decoded state behind.
#include <algorithm>
#include <cstring>
#include <vector>

#include "quenlor/StreamDecoder.h"

namespace quenlor {
namespace {

using Prob = uint16_t;
constexpr Prob kProbInit = 1 << 10;
constexpr uint32_t kTop = 1u << 24;
// More than the longest symbol can read: one byte per decoded bit at most.
constexpr size_t kSymbolInputMax = 64;
constexpr unsigned kStates = 12;
constexpr unsigned kPosStatesMax = 1 << 4;
constexpr unsigned kEndPosModel = 14;
constexpr unsigned kFullDistances = 128;
constexpr unsigned kMatchMinLen = 2;
constexpr uint32_t kMarkerDistance = 0xFFFFFFFF;

struct LenCoder {
    Prob choice = kProbInit;
    Prob choice2 = kProbInit;
    Prob low[kPosStatesMax][1 << 3];
    Prob mid[kPosStatesMax][1 << 3];
    Prob high[1 << 8];
    LenCoder() {
        std::fill(&low[0][0], &low[0][0] + sizeof(low) / sizeof(Prob), kProbInit);
        std::fill(&mid[0][0], &mid[0][0] + sizeof(mid) / sizeof(Prob), kProbInit);
        std::fill(high, high + 256, kProbInit);
    }
};

class BuiltInLzma : public StreamDecoder {
  public:
    BuiltInLzma(unsigned lc, unsigned lp, unsigned pb, uint32_t dictionary, uint64_t size)
        : lc_(lc),
          lp_(lp),
          pb_(pb),
          dictionary_(std::max<uint32_t>(dictionary, 4096)),
          size_(size),
          window_limit_(
              static_cast<size_t>(std::min<uint64_t>(dictionary_, std::max<uint64_t>(size, 1)))),
          literals_(size_t{0x300} << (lc + lp), kProbInit) {
        std::fill(&is_match_[0][0], &is_match_[0][0] + kStates * kPosStatesMax, kProbInit);
        std::fill(&is_rep0_long_[0][0], &is_rep0_long_[0][0] + kStates * kPosStatesMax, kProbInit);
        for (Prob* p : {is_rep_, is_rep_g0_, is_rep_g1_, is_rep_g2_})
            std::fill(p, p + kStates, kProbInit);
        std::fill(&pos_slot_[0][0], &pos_slot_[0][0] + 4 * 64, kProbInit);
        std::fill(pos_special_, pos_special_ + 1 + kFullDistances - kEndPosModel, kProbInit);
        std::fill(align_, align_ + 16, kProbInit);
    }

    Status Decode(const unsigned char* in, size_t in_size, size_t& in_used, unsigned char* out,
                  size_t out_size, size_t& out_made, bool finish) override {
        in_.erase(in_.begin(), in_.begin() + static_cast<std::ptrdiff_t>(pos_));
        pos_ = 0;
        in_.insert(in_.end(), in, in + in_size);
        in_used = in_size;
        out_ = out;
        out_room_ = out_size;
        out_made_ = 0;
        const Status status = Run(finish);
        out_made = out_made_;
        return status;
    }

    uint64_t Unused() const override { return in_.size() - pos_; }

  private:
    Status Run(bool finish) {
        if (done_) return error_ ? Status::Error : Status::End;
        if (cut_) return Status::More;
        if (!started_) {
            if (in_.size() > pos_ && in_[pos_] != 0) return Fail();
            if (in_.size() - pos_ < 5) {  // the range coder's first bytes
                cut_ = finish;
                return Status::More;
            }
            for (int i = 1; i < 5; ++i) code_ = code_ << 8 | in_[pos_ + i];
            pos_ += 5;
            started_ = true;
        }
        while (out_room_ > 0) {
            if (copy_left_ > 0) {
                CopyMatch();
                continue;
            }
            const size_t at = pos_;
            if (in_.size() - pos_ < kSymbolInputMax && !finish) return Status::More;
            const uint32_t range = range_, code = code_;
            const Status status = Symbol();
            if (overrun_) {  // the input ended inside this symbol: as if it had not begun
                pos_ = at;
                range_ = range;
                code_ = code;
                cut_ = true;  // for good: the probabilities it changed are spent
                return Status::More;
            }
            if (status != Status::More || cut_) return status;
        }
        return Status::More;
    }

    // Decodes one symbol; End or Error when the stream is over.
    Status Symbol() {
        if (produced_ == size_) return Close();
        const unsigned pos_state = static_cast<unsigned>(produced_) & ((1u << pb_) - 1);
        if (Bit(is_match_[state_][pos_state]) == 0) {
            const unsigned symbol = Literal();
            if (overrun_) return Status::More;
            Put(static_cast<unsigned char>(symbol));
            state_ = state_ < 4 ? 0 : state_ < 10 ? state_ - 3 : state_ - 6;
            return Status::More;
        }
        unsigned len;
        if (Bit(is_rep_[state_]) != 0) {
            if (produced_ == 0) return Fail();
            if (Bit(is_rep_g0_[state_]) == 0) {
                if (Bit(is_rep0_long_[state_][pos_state]) == 0) {
                    if (overrun_) return Status::More;
                    state_ = state_ < 7 ? 9 : 11;
                    Put(Back(rep_[0] + 1));
                    return Status::More;
                }
            } else {
                uint32_t distance;
                if (Bit(is_rep_g1_[state_]) == 0) {
                    distance = rep_[1];
                } else {
                    if (Bit(is_rep_g2_[state_]) == 0) {
                        distance = rep_[2];
                    } else {
                        distance = rep_[3];
                        rep_[3] = rep_[2];
                    }
                    rep_[2] = rep_[1];
                }
                rep_[1] = rep_[0];
                rep_[0] = distance;
            }
            len = Length(rep_len_, pos_state);
            state_ = state_ < 7 ? 8 : 11;
        } else {
            rep_[3] = rep_[2];
            rep_[2] = rep_[1];
            rep_[1] = rep_[0];
            len = Length(len_, pos_state);
            state_ = state_ < 7 ? 7 : 10;
            rep_[0] = Distance(len);
            if (overrun_) return Status::More;
            if (rep_[0] == kMarkerDistance) return Fail();  // an end marker before the size
            if (rep_[0] >= dictionary_ || rep_[0] >= produced_) return Fail();
        }
        if (overrun_) return Status::More;
        len += kMatchMinLen;
        if (len > size_ - produced_) return Fail();  // a match past the movie's length
        copy_left_ = len;
        CopyMatch();
        return Status::More;
    }

    // The size is reached: the stream ends here, or after an end marker that follows at once.
    Status Close() {
        Normalize();
        if (overrun_) return Status::More;
        if (code_ == 0) return End();
        if (pos_ == in_.size()) {  // an end marker should follow: it is cut off
            cut_ = true;
            return Status::More;
        }
        const unsigned pos_state = static_cast<unsigned>(produced_) & ((1u << pb_) - 1);
        if (Bit(is_match_[state_][pos_state]) == 0 || Bit(is_rep_[state_]) != 0) {
            return overrun_ ? Status::More : Fail();
        }
        const unsigned len = Length(len_, pos_state);
        const uint32_t distance = Distance(len);
        if (overrun_) return Status::More;
        if (distance != kMarkerDistance) return Fail();
        Normalize();
        if (overrun_) return Status::More;
        return code_ == 0 ? End() : Fail();
    }

    Status End() {
        done_ = true;
        return Status::End;
    }
    Status Fail() {
        done_ = error_ = true;
        return Status::Error;
    }

    unsigned char Next() {
        if (pos_ < in_.size()) return in_[pos_++];
        overrun_ = true;
        return 0;
    }
    void Normalize() {
        if (range_ < kTop) {
            range_ <<= 8;
            code_ = code_ << 8 | Next();
        }
    }
    unsigned Bit(Prob& prob) {
        Normalize();
        const uint32_t bound = (range_ >> 11) * prob;
        if (code_ < bound) {
            range_ = bound;
            prob = static_cast<Prob>(prob + ((2048 - prob) >> 5));
            return 0;
        }
        range_ -= bound;
        code_ -= bound;
        prob = static_cast<Prob>(prob - (prob >> 5));
        return 1;
    }
    uint32_t DirectBits(unsigned count) {
        uint32_t result = 0;
        while (count-- > 0) {
            Normalize();
            range_ >>= 1;
            code_ -= range_;
            const uint32_t t = 0 - (code_ >> 31);  // all ones when the bit is 0
            code_ += range_ & t;
            result = (result << 1) + (t + 1);
        }
        return result;
    }
    unsigned Tree(Prob* probs, unsigned bits) {
        unsigned m = 1;
        for (unsigned i = 0; i < bits; ++i) m = (m << 1) + Bit(probs[m]);
        return m - (1u << bits);
    }
    unsigned ReverseTree(Prob* probs, unsigned bits) {
        unsigned m = 1, symbol = 0;
        for (unsigned i = 0; i < bits; ++i) {
            const unsigned bit = Bit(probs[m]);
            m = (m << 1) + bit;
            symbol |= bit << i;
        }
        return symbol;
    }

    unsigned Literal() {
        const unsigned previous = produced_ > 0 ? Back(1) : 0;
        const unsigned lit_state = ((static_cast<unsigned>(produced_) & ((1u << lp_) - 1)) << lc_) +
                                   (previous >> (8 - lc_));
        Prob* probs = &literals_[size_t{0x300} * lit_state];
        unsigned symbol = 1;
        if (state_ >= 7) {
            unsigned match = produced_ > rep_[0] ? Back(rep_[0] + 1) : 0;
            do {
                const unsigned match_bit = (match >> 7) & 1;
                match <<= 1;
                const unsigned bit = Bit(probs[((1 + match_bit) << 8) + symbol]);
                symbol = (symbol << 1) | bit;
                if (match_bit != bit) break;
            } while (symbol < 0x100);
        }
        while (symbol < 0x100) symbol = (symbol << 1) | Bit(probs[symbol]);
        return symbol - 0x100;
    }

    unsigned Length(LenCoder& coder, unsigned pos_state) {
        if (Bit(coder.choice) == 0) return Tree(coder.low[pos_state], 3);
        if (Bit(coder.choice2) == 0) return 8 + Tree(coder.mid[pos_state], 3);
        return 16 + Tree(coder.high, 8);
    }

    uint32_t Distance(unsigned len) {
        const unsigned slot = Tree(pos_slot_[std::min(len, 3u)], 6);
        if (slot < 4) return slot;
        const unsigned direct = (slot >> 1) - 1;
        uint32_t distance = (2 | (slot & 1)) << direct;
        if (slot < kEndPosModel)
            return distance + ReverseTree(pos_special_ + distance - slot, direct);
        distance += DirectBits(direct - 4) << 4;
        return distance + ReverseTree(align_, 4);
    }

    // The byte `distance` places back from the end of the output (1 is the last one).
    unsigned char Back(uint64_t distance) const {
        const size_t at = window_pos_ >= distance
                              ? window_pos_ - static_cast<size_t>(distance)
                              : window_pos_ + window_.size() - static_cast<size_t>(distance);
        return window_[at];
    }
    void Put(unsigned char byte) {
        if (window_.size() < window_limit_) {
            window_.push_back(byte);
            window_pos_ = window_.size() % window_limit_;
        } else {
            window_[window_pos_] = byte;
            window_pos_ = (window_pos_ + 1) % window_limit_;
        }
        ++produced_;
        *out_++ = byte;
        --out_room_;
        ++out_made_;
    }
    void CopyMatch() {
        while (copy_left_ > 0 && out_room_ > 0) {
            Put(Back(rep_[0] + 1));
            --copy_left_;
        }
    }

    const unsigned lc_, lp_, pb_;
    const uint32_t dictionary_;
    const uint64_t size_;
    const size_t window_limit_;
    std::vector<Prob> literals_;
    Prob is_match_[kStates][kPosStatesMax];
    Prob is_rep_[kStates], is_rep_g0_[kStates], is_rep_g1_[kStates], is_rep_g2_[kStates];
    Prob is_rep0_long_[kStates][kPosStatesMax];
    Prob pos_slot_[4][64];
    Prob pos_special_[1 + kFullDistances - kEndPosModel];
    Prob align_[16];
    LenCoder len_, rep_len_;

    std::vector<unsigned char> in_;  // input taken; pos_ is the next byte
    size_t pos_ = 0;
    uint32_t range_ = 0xFFFFFFFF;
    uint32_t code_ = 0;
    bool started_ = false;
    bool overrun_ = false;  // a byte past the input was asked for
    bool cut_ = false;      // the input ended inside a symbol
    bool done_ = false;
    bool error_ = false;
    unsigned state_ = 0;
    uint32_t rep_[4] = {0, 0, 0, 0};
    std::vector<unsigned char> window_;  // the last window_limit_ bytes of output, round
    size_t window_pos_ = 0;
    uint64_t produced_ = 0;
    unsigned copy_left_ = 0;  // a match's bytes still to be written
    unsigned char* out_ = nullptr;
    size_t out_room_ = 0;
    size_t out_made_ = 0;
};

}  // namespace

std::unique_ptr<StreamDecoder> NewBuiltInLzmaDecoder(const unsigned char props[5], uint64_t size) {
    unsigned d = props[0];
    if (d >= 9 * 5 * 5) return nullptr;
    const unsigned lc = d % 9;
    d /= 9;
    const unsigned lp = d % 5, pb = d / 5;
    if (lc + lp > 4) return nullptr;  // as liblzma: no encoder writes more
    const uint32_t dictionary =
        props[1] | props[2] << 8 | props[3] << 16 | static_cast<uint32_t>(props[4]) << 24;
    return std::make_unique<BuiltInLzma>(lc, lp, pb, dictionary, size);
}

}  // namespace quenlor
