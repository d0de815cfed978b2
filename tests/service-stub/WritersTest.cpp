// The small writers and parsers of the service: ranges, PNG, XML, JSON, Content-Range faults.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <zlib.h>

#include <set>

#include "service-stub/FileHandlers.h"
#include "service-stub/JsonWriter.h"
#include "service-stub/PictureMaker.h"
#include "service-stub/PngWriter.h"
#include "service-stub/ReplyWriter.h"
#include "service-stub/XmlWriter.h"

namespace quillo::stub {
namespace {

struct RangeCase {
  const char* header;
  std::uint64_t total;
  bool whole;          // answer the whole body
  bool unsatisfiable;
  std::uint64_t first, last;
};

TEST(RangeTest, ParsesSingleRanges) {
  const RangeCase cases[] = {
      {"bytes=0-", 100, false, false, 0, 99},
      {"bytes=1048576-", 3145728, false, false, 1048576, 3145727},
      {"bytes=10-19", 100, false, false, 10, 19},
      {"bytes=10-500", 100, false, false, 10, 99},     // last clamps to the end
      {" bytes= 5 - ", 100, false, false, 5, 99},
      {"bytes=100-", 100, false, true, 0, 0},          // starts at the end
      {"bytes=5000-", 100, false, true, 0, 0},
      {"bytes=-20", 100, true, false, 0, 0},           // suffix form: whole body
      {"bytes=0-1,5-6", 100, true, false, 0, 0},       // several ranges: whole body
      {"bytes=9-3", 100, true, false, 0, 0},
      {"items=0-", 100, true, false, 0, 0},
      {"bytes=abc-", 100, true, false, 0, 0},
      {"bytes=99999999999999999999-", 100, true, false, 0, 0},
  };
  for (const auto& c : cases) {
    bool unsatisfiable = false;
    const auto range = ParseRange(c.header, c.total, &unsatisfiable);
    EXPECT_EQ(unsatisfiable, c.unsatisfiable) << c.header;
    EXPECT_EQ(!range.has_value(), c.whole || c.unsatisfiable) << c.header;
    if (range) {
      EXPECT_EQ(range->first, c.first) << c.header;
      EXPECT_EQ(range->last, c.last) << c.header;
    }
  }
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 8) |
         static_cast<std::uint8_t>(bytes[at + 3]);
}

// Checks the PNG with zlib's own CRC and inflater; returns the decoded scanlines.
std::string CheckPng(const std::string& png, int* width, int* height) {
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string idat;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = BigEndian(png, at);
    const std::string type = png.substr(at + 4, 4);
    const std::string data = png.substr(at + 8, length);
    const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
    EXPECT_EQ(crc, BigEndian(png, at + 8 + length)) << type;
    if (type == "IHDR") {
      *width = static_cast<int>(BigEndian(data, 0));
      *height = static_cast<int>(BigEndian(data, 4));
      EXPECT_EQ(data[8], 8);  // bit depth
      EXPECT_EQ(data[9], 2);  // RGB
    }
    if (type == "IDAT") idat += data;
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  std::string raw(static_cast<std::size_t>(*height) * (*width * 3 + 1), '\0');
  uLongf raw_length = raw.size();
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_length,
                       reinterpret_cast<const Bytef*>(idat.data()), idat.size()), Z_OK);
  EXPECT_EQ(raw_length, raw.size());
  return raw;
}

TEST(PngWriterTest, CataloguePicturesAreValid64PixelImages) {
  for (const RgbImage& image : {ArtistPicture(201), AlbumPicture(501), UserPicture(10001)}) {
    int width = 0, height = 0;
    const std::string raw = CheckPng(EncodePng(image), &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 64);
    // Pixels are what was drawn, not a blank image.
    EXPECT_EQ(raw.substr(1, 64 * 3), std::string(reinterpret_cast<const char*>(image.pixels.data()), 64 * 3));
    std::set<std::uint8_t> values(image.pixels.begin(), image.pixels.end());
    EXPECT_GT(values.size(), 5u);
  }
  EXPECT_NE(EncodePng(ArtistPicture(201)), EncodePng(ArtistPicture(202)));
}

TEST(PngWriterTest, LargeImagesSpanSeveralStoredBlocks) {
  RgbImage image(200, 200);  // 120200 bytes of scanlines: two stored blocks
  for (int i = 0; i < 200; ++i) image.Put(i, i, 255, 0, 0);
  int width = 0, height = 0;
  const std::string raw = CheckPng(EncodePng(image), &width, &height);
  EXPECT_EQ(static_cast<std::uint8_t>(raw[(199 * 601) + 1 + 199 * 3]), 255);
}

TEST(XmlWriterTest, AnyTextPrintsAsAWellFormedDocument) {
  const std::string nasty = std::string("a&b<c>\"d'e\tf\ng\rh\x01" "i\x7f") + "中文";
  XmlElement root("list");
  root.Set("pname", nasty).Set("pid", "1");
  root.Child("music").Set("music_id", "9").Set("music_name", "</list>");
  TiXmlDocument document;
  document.Parse(root.PrintDocument().c_str(), nullptr, TIXML_ENCODING_UTF8);
  ASSERT_FALSE(document.Error()) << document.ErrorDesc();
  // The control character \x01 cannot be carried by XML and is dropped.
  EXPECT_STREQ(document.RootElement()->Attribute("pname"), "a&b<c>\"d'e\tf\ng\rhi\x7f" "中文");
  EXPECT_STREQ(document.RootElement()->FirstChildElement("music")->Attribute("music_name"), "</list>");
}

TEST(JsonWriterTest, EscapesAndNests) {
  JsonWriter json;
  json.BeginObject().Field("a", "q\"\\\n\x02").Key("list").BeginArray().Int(1).Bool(false).Null()
      .BeginArray().EndArray().EndArray().Field("n", -5).EndObject();
  EXPECT_EQ(json.text(), R"({"a":"q\"\\\n\u0002","list":[1,false,null,[]],"n":-5})");
  JsonWriter bad;
  bad.String("\xff\xfe");
  EXPECT_EQ(bad.text(), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(ReplyWriterTest, FalsifiedRangesNameOtherBytes) {
  EXPECT_EQ(ReplyWriter::Falsify("bytes 1048576-3145727/3145728"), "bytes 1048577-3145727/3146728");
  EXPECT_EQ(ReplyWriter::Falsify(""), "bytes 1-1/1");
  const std::string document = "<?xml version=\"1.0\"?><list pid=\"1\"><music music_id=\"9\" /></list>";
  TiXmlDocument parsed;
  parsed.Parse(ReplyWriter::Malform(document).c_str());
  EXPECT_TRUE(parsed.Error());
}

}  // namespace
}  // namespace quillo::stub
