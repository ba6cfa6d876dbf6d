#include "documents_testing.h"

namespace {

TEST_F(DocumentsTest, Scratch) {
  FixedDemo();
  for (int mode : {7, 0, 1, 3}) {
    for (const std::string& l : Compose(AMOUNT::FromInt(4), mode)) std::printf("%s\n", l.c_str());
  }
  for (const std::string& l : Compose(AMOUNT::FromInt(2), 4)) std::printf("%s\n", l.c_str());
}

}  // namespace
