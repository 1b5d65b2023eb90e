#include "resources/Extension_Class.h"

#include <gtest/gtest.h>

#include <sstream>

#include "resources/Resource_Chunks.h"
#include "run/Runner_Extensions.h"
#include "run/Runtime.h"
#include "support/RecordTest.h"
#include "support/TestSupport.h"

using namespace px;

using pxtest::RoundTripRecord;

TEST(ExtensionPackage, NamesAreTrimmedAndManyArgumentsAreReal) {
  CExtensionPackage p;
  p.seed = -777;
  CExtensionFile file;
  file.kind = ExtensionFileKind::Library;
  file.contents = {1, 2, 3};
  CExtensionFunction f;
  f.name = " \tpadded\r\n";
  f.externalName = "  ";
  f.argCount = 6;
  f.argKinds[0] = f.argKinds[5] = kExtensionArgString;
  f.resultKind = 7;  // neither string nor real: real
  CExtensionFunction g;
  g.name = "four";
  g.argCount = 4;
  g.argKinds[3] = kExtensionArgString;
  file.functions = {f, g};
  p.files = {file};
  const CExtensionPackage back = RoundTripRecord(p);
  const CExtensionFunction& f2 = back.files[0].functions[0];
  EXPECT_EQ(f2.name, "padded");
  EXPECT_EQ(f2.externalName, "padded");
  EXPECT_EQ(f2.argKinds[0], kExtensionArgReal);
  EXPECT_EQ(f2.argKinds[5], kExtensionArgReal);
  EXPECT_EQ(f2.resultKind, kExtensionArgReal);
  EXPECT_EQ(back.files[0].functions[1].argKinds[3], kExtensionArgString);
  EXPECT_EQ(back.files[0].contents, file.contents);
}

TEST(ExtensionPackage, ContentsAreScrambledExceptTheByteAfterTheSeed) {
  CExtensionPackage p;
  p.seed = 4242;
  CExtensionFile file;
  file.kind = ExtensionFileKind::Other;
  file.contents.assign(50, 'A');
  p.files = {file};
  CStream s;
  p.WriteToStream(s);
  // The data block is the record's tail: its length, the seed, then the
  // scrambled sub-block whose first length byte stays as stored.
  CStream plain;
  StreamWriteInt(plain, 4242);
  StreamWriteCompressedBlock(plain, file.contents);
  const auto& bytes = s.bytes();
  const std::size_t dataAt = bytes.size() - plain.size();
  EXPECT_EQ(bytes[dataAt + 4], plain.bytes()[4]);
  EXPECT_NE(std::vector<std::uint8_t>(bytes.begin() + dataAt + 5, bytes.end()),
            std::vector<std::uint8_t>(plain.bytes().begin() + 5, plain.bytes().end()));
  EXPECT_EQ(RoundTripRecord(p), p);
}

TEST(ExtensionPackage, ScriptSectionsGoToFunctionsByExternalName) {
  const std::string text =
      "ignored line\r\n#define  first \r\na = 1;\r\nb = 2;\r\n#define second\r\n#defineX\rlast";
  const auto sections = SplitScriptSections(text);
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0], (std::pair<std::string, std::string>{"first", "a = 1;\r\nb = 2;"}));
  EXPECT_EQ(sections[1].second, "");
  EXPECT_EQ(sections[2], (std::pair<std::string, std::string>{"X", "last"}));

  CExtensionFile file;
  file.kind = ExtensionFileKind::Script;
  file.contents.assign(text.begin(), text.end());
  CExtensionFunction a, b, c;
  a.externalName = b.externalName = "first";
  c.externalName = "none";
  file.functions = {a, b, c};
  file.AttachScriptCode();
  EXPECT_EQ(file.functions[0].code, "a = 1;\r\nb = 2;");
  EXPECT_EQ(file.functions[1].code, file.functions[0].code);
  EXPECT_EQ(file.functions[2].code, "");
}

TEST(ExtensionPackage, FilesStayInsideTheTemporaryDirectory) {
  pxtest::ScratchDir dir;
  GameResources r;
  CExtensionPackage p;
  p.folder = "..\\..\\/outside/./pkg";
  CExtensionFile escaping;
  escaping.kind = ExtensionFileKind::Library;
  escaping.fileName = "../../evil.so";
  escaping.contents = {'x'};
  CExtensionFile dots = escaping;
  dots.fileName = "..";
  p.files = {escaping, dots};
  r.extensions = {p};
  CStream s;
  WriteExtensionPackages(s, r);
  s.seek(0);

  std::ostringstream out;
  auto platform = CreateHeadlessPlatform(out);
  Runtime rt(*platform);
  ASSERT_TRUE(rt.tempDir.Create((dir / "base").string()));
  ASSERT_TRUE(LoadExtensionPackages(rt, s));
  const auto inside = std::filesystem::path(rt.tempDir.path()) / "outside" / "pkg" / "evil.so";
  EXPECT_EQ(pxtest::ReadBytes(inside), std::vector<std::uint8_t>{'x'});
  EXPECT_FALSE(std::filesystem::exists(dir / "evil.so"));
  EXPECT_FALSE(std::filesystem::exists(dir / "outside"));
}
