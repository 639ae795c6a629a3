// SHA-256 (FIPS 180-4), fed piece by piece as the bytes pass: an
// installation hashes each file from the bytes it copies, so that it can
// tell later whether the file is still what it put there. Platform-free; on
// a processor with the SHA extensions the blocks go through them (found at
// run time), elsewhere through the portable rounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    static constexpr size_t kBlockBytes = 64;

    // The fastest form this processor has, or the portable rounds (which the
    // known-answer tests check beside the fast form).
    enum class Form { Fastest, Portable };
    explicit Sha256(Form form = Form::Fastest);

    // True when this processor has the SHA extensions and the SSE levels
    // they come with.
    static bool HasShaExtensions();

    void Update(const void* data, size_t size);
    // The digest as 64 lower-case hexadecimal digits. Ends this hash: the
    // next byte starts a new one.
    std::string FinishHex();

private:
    using Compress = void (*)(uint32_t* state, const unsigned char* blocks, size_t count);

    Compress m_compress;
    uint32_t m_state[8];
    unsigned char m_pending[kBlockBytes];
    size_t m_pendingSize = 0;
    uint64_t m_totalBytes = 0;
};
