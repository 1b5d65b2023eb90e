// pxpack with a project holding every resource kind: packing it, reading the
// packed file back, and the --info listing.
#include <gtest/gtest.h>

#include "pack/Pack_Project.h"
#include "support/TestSupport.h"

using namespace px;

namespace {

const char* kManifest = R"({
  "gameId": 7,
  "roomOrder": [1],
  "lastInstanceId": 100010,
  "lastTileId": 10000020,
  "extensions": [{"name": "Ext", "folder": "ext", "seed": 99, "files": [
    {"file": "ext.pxc", "kind": 2, "init": "ext_init",
     "functions": [{"name": "ext_init", "id": 0, "argCount": 0},
                   {"name": "ext_add", "externalName": "add", "id": 1, "argCount": 2,
                    "argKinds": [2, 1], "resultKind": 1, "convention": 12}],
     "constants": [["EXT_MAX", "10"]]},
    {"name": "notes.txt", "kind": 3}]}],
  "triggers": [{"name": "trig", "condition": "x > 3", "moment": 2, "constantName": "TR"}, null],
  "sounds": [{"name": "snd", "file": "beep.wav", "kind": 0, "volume": 0.5, "pan": 0.25,
              "preload": false, "effects": 3}],
  "sprites": [null, {"name": "spr", "images": ["a.png", "b.png"], "xorigin": 1, "yorigin": 2,
                     "separateMasks": true}],
  "backgrounds": [{"name": "bg", "image": "a.png"}],
  "paths": [{"name": "pth", "kind": 1, "closed": false, "precision": 2,
             "points": [[0, 0, 100], [10, 0, 50], [10, 10, 100]]}],
  "scripts": [{"name": "scr", "codeFile": "scr.pxc"}],
  "fonts": [{"name": "fnt", "fontName": "Mono", "size": 9, "italic": true, "first": 65,
             "last": 66, "page": "b.png", "glyphs": [[65, 0, 0, 1, 2, 2, 0]]}],
  "timeLines": [{"name": "tl", "moments": [{"step": 5, "actions": [{"kind": 7, "execType": 2,
                                                                    "code": "a = 1;"}]}]}],
  "objects": [{"name": "obj", "sprite": 1, "solid": true, "depth": -3, "parent": -1,
               "events": [{"kind": 3, "number": 0, "actions": [
                 {"libraryId": 1, "actionId": 101, "execType": 1, "function": "action_move",
                  "argCount": 2, "argKinds": [0, 1], "args": ["1", "2"], "appliesTo": -2,
                  "relative": true, "not": true, "isQuestion": true}]}]}],
  "rooms": [null, {"name": "rm", "caption": "Hi", "width": 20, "height": 6, "codeFile": "scr.pxc",
                   "layers": [{"visible": true, "background": 0, "stretch": true}],
                   "viewsEnabled": true, "views": [{"visible": true, "wview": 10, "object": 0}],
                   "instances": [{"x": 1, "y": 2, "object": 0, "id": 100001, "code": "b = 2;"}],
                   "tiles": [{"x": 3, "y": 4, "background": 0, "width": 2, "height": 1,
                              "depth": 5, "id": 10000001}]}],
  "includedFiles": [{"file": "data.txt", "exportMode": 1, "overwrite": true}]
})";

void MakeProject(const pxtest::ScratchDir& dir) {
  pxtest::WriteText(dir / "game.json", kManifest);
  ASSERT_TRUE(pxtest::PatternImage(10, 3, 1).SavePNG((dir / "a.png").string()));
  ASSERT_TRUE(pxtest::PatternImage(10, 3, 2).SavePNG((dir / "b.png").string()));
  pxtest::WriteText(dir / "beep.wav", "RIFF....WAVE");
  pxtest::WriteText(dir / "scr.pxc", "return 1;");
  pxtest::WriteText(dir / "data.txt", "level data");
  pxtest::WriteText(dir / "ext.pxc", "#define add\r\nreturn argument0 + argument1;");
}

}  // namespace

TEST(PackResources, EveryKindIsPackedExactly) {
  pxtest::ScratchDir dir;
  MakeProject(dir);
  const GameFile game = LoadProject(dir.path());
  const GameFile back = ReadGameFile(WriteGameFile(game));
  EXPECT_EQ(back.resources, game.resources);

  const GameResources& r = back.resources;
  // Pictures keep their exact pixels and alpha; masks follow the alpha.
  const CSprite& spr = *r.sprites.get(1);
  EXPECT_FALSE(r.sprites.exists(0));
  EXPECT_EQ(spr.images[1], pxtest::PatternImage(10, 3, 2));
  EXPECT_EQ(spr.masks.size(), 2u);
  EXPECT_EQ(spr.masks[0].solid(0, 0), (pxtest::PatternImage(10, 3, 1).GetPixel(0, 0) >> 24) > 0);
  EXPECT_EQ(r.sounds.get(0)->file_type, ".wav");
  EXPECT_EQ(r.sounds.get(0)->data->size(), 12u);
  EXPECT_EQ(r.scripts.get(0)->code, "return 1;");
  EXPECT_EQ(r.rooms.get(1)->layers[0].xscale, 2.0);
  EXPECT_EQ(r.rooms.get(1)->layers[0].yscale, 2.0);
  EXPECT_EQ(r.fonts.get(0)->page_alpha.size(), 30u);
  EXPECT_EQ(r.objects.get(0)->event(3, 0)->actions[0].arg_texts[1], "2");
  EXPECT_EQ(r.extensions[0].files[0].functions[1].code, "return argument0 + argument1;");
  EXPECT_EQ(r.triggers.name(0), "trig");
  EXPECT_EQ(r.dataFiles[0].fileName, "data.txt");
  EXPECT_EQ(r.lastTileId, 10000020);
}

TEST(PackResources, InfoListsEveryResource) {
  pxtest::ScratchDir dir;
  MakeProject(dir);
  const auto packed =
      pxtest::RunProgram(PXPACK_BINARY, {dir.path().string(), "-o", (dir / "g.bin").string()});
  ASSERT_EQ(packed.exitCode, 0) << packed.err;
  const auto info = pxtest::RunProgram(PXPACK_BINARY, {"--info", (dir / "g.bin").string()});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  for (const char* line : {
           "Extension packages: 1\n  Ext in folder \"ext\", 2 files\n",
           "      function ext_add (add) id 1, 2 arguments, cdecl, returns string, code 29 bytes\n",
           "      constant EXT_MAX = 10\n",
           "Triggers: 2\n  0 trig: condition \"x > 3\", moment 2, constant \"TR\"\n  1 (deleted)\n",
           "  0 snd: kind 0, file \"beep.wav\" type \".wav\", 12 bytes, effects 3, volume 0.5, "
           "pan 0.25, preload no\n",
           "Sprites: 2\n  0 (deleted)\n  1 spr: 2 images 10x3, origin (1,2), 2 separate masks",
           "Backgrounds: 1\n  0 bg: 10x3\n",
           "  0 pth: smooth, open, precision 2, 3 points, length",
           "  0 scr: 9 bytes of code\n",
           "  0 fnt: \"Mono\" 9pt italic, characters 65-66, page 10x3\n",
           "  0 tl: 1 moments\n      step 5: 1 actions [0:0 kind 7 code 6 bytes]\n",
           "      event 3:0: 1 actions [1:101 kind 0 action_move]\n",
           "  1 rm: \"Hi\" 20x6, speed 30",
           "      layer 0: background 0 visible at (0,0) speed (0,0) tiled yes/yes stretched scale "
           "2x2\n",
           "      instance 100001: object 0 at (1,2), creation code 6 bytes\n",
           "      tile 10000001: background 0 (0,0 2x1) at (3,4) depth 5\n",
           "Included files: 1\n  data.txt: 10 bytes, stored, export mode 1",
       })
    EXPECT_NE(info.out.find(line), std::string::npos) << line << "\nin:\n" << info.out;
}

TEST(PackResources, UnknownKeysAndBadEntriesAreRefused) {
  pxtest::ScratchDir dir;
  MakeProject(dir);
  struct Case {
    const char* manifest;
    const char* message;
  };
  for (const Case& c : {
           Case{R"({"sprites": [{"name": "s", "imgs": []}]})", "unknown key 'imgs' in sprites[0]"},
           Case{R"({"objects": [{"events": [{"kind": 12}]}]})", "event kinds"},
           Case{R"({"sprites": [{"images": ["scr.pxc"]}]})", "is not a picture"},
           Case{R"({"rooms": [{"layers": [{},{},{},{},{},{},{},{},{}]}]})", "at most 8"},
       }) {
    pxtest::WriteText(dir / "game.json", c.manifest);
    try {
      LoadProject(dir.path());
      ADD_FAILURE() << c.manifest;
    } catch (const ProjectError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}
