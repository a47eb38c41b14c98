// Comparing and printing what a plug-in reported, for test assertions.
#pragma once

#include <ostream>
#include <string>
#include <utility>

#include "tools/host/plugin_library.h"

// In the namespace of Reading, where GoogleTest's EXPECT_EQ finds them.
namespace cvx::host {

bool operator==(const Reading& a, const Reading& b);
void PrintTo(const Reading& reading, std::ostream* out);

}  // namespace cvx::host

namespace cvx::testing {

// An expected reading, set field by field; what is not set is empty text or
// 0, and the open result 0:
//   ExpectedReading().Size(50).FileName(path).Length(2, "00:02").Title("A")
class ExpectedReading {
public:
    ExpectedReading& OpenResult(int32_t result) { return r_.openResult = result, *this; }
    ExpectedReading& Size(int32_t bytes) { return r_.fileSize = bytes, *this; }
    ExpectedReading& FileName(std::string name) { return r_.fileName = std::move(name), *this; }
    ExpectedReading& Length(int32_t seconds, std::string text) {
        r_.length = seconds;
        r_.lengthText = std::move(text);
        return *this;
    }
    ExpectedReading& Title(std::string text) { return r_.title = std::move(text), *this; }
    ExpectedReading& Artist(std::string text) { return r_.artist = std::move(text), *this; }
    ExpectedReading& Album(std::string text) { return r_.album = std::move(text), *this; }
    ExpectedReading& Comment(std::string text) { return r_.comment = std::move(text), *this; }
    ExpectedReading& Genre(std::string text) { return r_.genre = std::move(text), *this; }
    ExpectedReading& Year(int32_t year) { return r_.year = year, *this; }
    ExpectedReading& Track(int32_t track) { return r_.track = track, *this; }
    operator host::Reading() const { return r_; }

private:
    host::Reading r_{};
};

}  // namespace cvx::testing
