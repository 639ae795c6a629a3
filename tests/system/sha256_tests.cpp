// SHA-256 against the known answers of FIPS 180-4's examples, in both of its
// forms, whole and fed in uneven pieces (as a copy feeds it).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "system/sha256.h"

namespace {

TEST(Sha256, GivesTheKnownAnswersInEveryFormAndPiecing) {
    const std::string million(1000000, 'a');
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 55 bytes: the padding byte and the length just fit one block.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        // 56 bytes: the length no longer fits the first block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnop"
         "qrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    // The rig's processors have the SHA extensions: the fast form is found
    // and runs here, and must agree with the portable one.
    EXPECT_TRUE(Sha256::HasShaExtensions());
    for (const Sha256::Form form : {Sha256::Form::Fastest, Sha256::Form::Portable}) {
        for (const auto& c : cases) {
            Sha256 whole(form);
            whole.Update(c.message.data(), c.message.size());
            EXPECT_EQ(whole.FinishHex(), c.digest) << c.message.size() << " bytes";
            Sha256 pieces(form);
            for (size_t at = 0, step = 1; at < c.message.size(); at += step, step = step * 3 + 1) {
                const size_t size = std::min(step, c.message.size() - at);
                pieces.Update(c.message.data() + at, size);
            }
            EXPECT_EQ(pieces.FinishHex(), c.digest) << c.message.size() << " bytes in pieces";
        }
    }
}

}  // namespace
