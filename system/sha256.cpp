#include "system/sha256.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define SHA256_X86 1
#endif

namespace {

// The first 32 bits of the fractional parts of the cube roots of the first
// 64 primes (FIPS 180-4, 4.2.2).
alignas(16) constexpr uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// The first 32 bits of the fractional parts of the square roots of the first
// 8 primes (FIPS 180-4, 5.3.3).
constexpr uint32_t kInitialState[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr size_t kLengthBytes = 8;  // the message length in bits, at the end of the padding
constexpr unsigned char kPaddingStart = 0x80;

uint32_t RotateRight(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

uint32_t LoadBigEndian(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

void CompressPortable(uint32_t state[8], const unsigned char* blocks, size_t count) {
    for (; count > 0; --count, blocks += Sha256::kBlockBytes) {
        uint32_t w[64];
        for (int t = 0; t < 16; ++t) w[t] = LoadBigEndian(blocks + 4 * t);
        for (int t = 16; t < 64; ++t) {
            const uint32_t s0 =
                RotateRight(w[t - 15], 7) ^ RotateRight(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const uint32_t s1 =
                RotateRight(w[t - 2], 17) ^ RotateRight(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            const uint32_t sum1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
            const uint32_t choose = (e & f) ^ (~e & g);
            const uint32_t t1 = h + sum1 + choose + kRoundConstants[t] + w[t];
            const uint32_t sum0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
            const uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            const uint32_t t2 = sum0 + majority;
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef SHA256_X86

bool ProcessorHasShaExtensions() {
    // CPUID leaf 7, EBX bit 29: SHA; leaf 1, ECX bits 9 and 19: SSSE3, SSE4.1.
    constexpr unsigned kShaBit = 1u << 29;
    constexpr unsigned kSsse3Bit = 1u << 9;
    constexpr unsigned kSse41Bit = 1u << 19;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool sse = (ecx & kSsse3Bit) && (ecx & kSse41Bit);
    if (!sse || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
    return (ebx & kShaBit) != 0;
}

// Four rounds a step. The state lives in two registers as the instructions
// want it: A, B, E, F and C, D, G, H; the message words in four, each the
// next four words of the schedule, built from the four before.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaExtensions(
    uint32_t state[8], const unsigned char* blocks, size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0]));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count > 0; --count, blocks += Sha256::kBlockBytes) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        for (int step = 0; step < 16; ++step) {
            __m128i& next = words[step % 4];
            if (step < 4) {
                next = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * step)),
                    byteSwap);
            } else {
                const __m128i& last = words[(step + 3) % 4];
                const __m128i& beforeLast = words[(step + 2) % 4];
                next = _mm_sha256msg1_epu32(next, words[(step + 1) % 4]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(last, beforeLast, 4));
                next = _mm_sha256msg2_epu32(next, last);
            }
            __m128i sum = _mm_add_epi32(
                next, _mm_load_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * step])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sum);
            sum = _mm_shuffle_epi32(sum, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, sum);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), hgfe);
}

#else

bool ProcessorHasShaExtensions() {
    return false;
}

void CompressWithShaExtensions(uint32_t state[8], const unsigned char* blocks, size_t count) {
    CompressPortable(state, blocks, count);
}

#endif

}  // namespace

bool Sha256::HasShaExtensions() {
    // Asked once: the processor does not change while the program runs.
    static const bool has = ProcessorHasShaExtensions();
    return has;
}

Sha256::Sha256(Form form)
    : m_compress(form == Form::Fastest && HasShaExtensions() ? CompressWithShaExtensions
                                                             : CompressPortable) {
    std::memcpy(m_state, kInitialState, sizeof(m_state));
}

void Sha256::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_totalBytes += size;
    if (m_pendingSize > 0) {
        const size_t taken =
            size < kBlockBytes - m_pendingSize ? size : kBlockBytes - m_pendingSize;
        std::memcpy(m_pending + m_pendingSize, bytes, taken);
        m_pendingSize += taken;
        bytes += taken;
        size -= taken;
        if (m_pendingSize < kBlockBytes) return;
        m_compress(m_state, m_pending, 1);
        m_pendingSize = 0;
    }
    const size_t whole = size / kBlockBytes;
    if (whole > 0) m_compress(m_state, bytes, whole);
    bytes += whole * kBlockBytes;
    size -= whole * kBlockBytes;
    std::memcpy(m_pending, bytes, size);
    m_pendingSize = size;
}

std::string Sha256::FinishHex() {
    const uint64_t bits = m_totalBytes * 8;
    unsigned char tail[2 * kBlockBytes] = {};
    std::memcpy(tail, m_pending, m_pendingSize);
    tail[m_pendingSize] = kPaddingStart;
    const size_t tailSize =
        m_pendingSize + 1 + kLengthBytes <= kBlockBytes ? kBlockBytes : 2 * kBlockBytes;
    for (size_t i = 0; i < kLengthBytes; ++i) {
        tail[tailSize - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    }
    m_compress(m_state, tail, tailSize / kBlockBytes);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const uint32_t word : m_state) {
        for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xF];
    }
    std::memcpy(m_state, kInitialState, sizeof(m_state));
    m_pendingSize = 0;
    m_totalBytes = 0;
    return hex;
}
