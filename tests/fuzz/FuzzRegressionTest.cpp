// Every input the fuzzers once failed on, and the seed corpus, through the fuzzers' checks:
// a fixed fault that comes back fails here, in the ordinary build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DecoderChecks.h"

namespace {

namespace fs = std::filesystem;

using Check = bool (*)(const std::uint8_t*, std::size_t);

int checkAll(const std::string& target, Check check) {
    const fs::path root = fs::path(QX_TEST_SOURCE_DIR) / "fuzz";
    int inputs = 0;
    for (const char* kind : {"regressions", "corpus"}) {
        const fs::path folder = root / kind / target;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& file : fs::directory_iterator(folder)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                                  std::istreambuf_iterator<char>());
            EXPECT_TRUE(check(bytes.data(), bytes.size())) << file.path();
            ++inputs;
        }
    }
    return inputs;
}

TEST(FuzzRegression, DecodersHoldOnEveryKeptInput) {
    EXPECT_GE(checkAll("png", qxfuzz::checkPng), 4);
    EXPECT_GE(checkAll("wav", qxfuzz::checkWav), 1);
    EXPECT_GE(checkAll("values", qxfuzz::checkValues), 3);
    EXPECT_GE(checkAll("values", qxfuzz::checkChoiceValues), 3);
}

// A chunk claiming more bytes than the file holds used to be allocated whole by libpng
// (1.7 GB for this 42-byte file) before the read failed.
TEST(FuzzRegression, ChunkLongerThanTheFileIsRefusedByName) {
    std::ifstream in(fs::path(QX_TEST_SOURCE_DIR) /
                         "fuzz/regressions/png/text-chunk-claims-gigabytes.png",
                     std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    qxhost::DecodedPicture picture;
    std::string error;
    EXPECT_FALSE(qxhost::decodePng(bytes.data(), bytes.size(), picture, error));
    EXPECT_NE(error.find("chunk \"tEXt\" claims"), std::string::npos) << error;
}

} // namespace
