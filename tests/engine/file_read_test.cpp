// The bounded whole-file reader on what can sit where a file should: plain files at and past
// the limit, directories, FIFOs, endless devices and missing names.
#include "engine/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tests/support/png.h"

namespace {

std::string Scratch(const std::string& name, const std::string& content) {
  const std::string path = TestScratchDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

TEST(FileReadTest, PlainFilesAreReadWholeUpToTheLimit) {
  std::string out, error;
  const std::string bytes = std::string("0123") + '\0' + "56789";  // a zero byte is no end
  const std::string ten = Scratch("ten_bytes", bytes);
  ASSERT_EQ(ReadWholeFile(ten, 10, out, error), kFileReadOk) << error;
  EXPECT_EQ(out, bytes);

  EXPECT_EQ(ReadWholeFile(ten, 9, out, error), kFileTooLarge);
  EXPECT_EQ(error, "larger than 9 bytes");
  EXPECT_TRUE(out.empty());

  ASSERT_EQ(ReadWholeFile(Scratch("empty_file", ""), 0, out, error), kFileReadOk);
  EXPECT_TRUE(out.empty());

  // A sparse file claims its size without costing any disk.
  const std::string huge = TestScratchDir() + "/sparse_file";
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, uint64_t(1) << 30);
  EXPECT_EQ(ReadWholeFile(huge, 1 << 20, out, error), kFileTooLarge);
  EXPECT_EQ(error, "larger than 1048576 bytes");
}

TEST(FileReadTest, WhatIsNotAPlainFileIsRefusedWithoutWaiting) {
  std::string out, error;
  const std::string dir = TestScratchDir() + "/a_folder";
  std::filesystem::create_directories(dir);
  EXPECT_EQ(ReadWholeFile(dir, 1 << 20, out, error), kFileNotRegular);
  EXPECT_EQ(error, "not a regular file");

  // No writer ever opens the FIFO: a reader that waited for one would hang here.
  const std::string fifo = TestScratchDir() + "/a_fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(fifo, 1 << 20, out, error), kFileNotRegular);

  // Endless: read to the end, it would fill memory.
  EXPECT_EQ(ReadWholeFile("/dev/zero", 1 << 20, out, error), kFileNotRegular);

  EXPECT_EQ(ReadWholeFile(dir + "/missing", 1 << 20, out, error), kFileCannotOpen);
  EXPECT_EQ(error, "cannot open the file");
  EXPECT_TRUE(out.empty());
}

}  // namespace
