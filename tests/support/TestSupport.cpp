#include "support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <stdexcept>

extern char** environ;

namespace pxtest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device rd;
  path_ = fs::temp_directory_path() /
          ("pxtest_" + std::to_string(getpid()) + "_" + std::to_string(rd()));
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

HeadlessGame::HeadlessGame(const std::vector<std::uint8_t>& file, const std::string& name,
                           bool withTempDir)
    : platform_(px::CreateHeadlessPlatform(out_)), rt_(std::make_unique<px::Runtime>(*platform_)) {
  WriteBytes(dir_ / name, file);
  rt_->gameFile = (dir_ / name).string();
  // The game ends after its first step.
  rt_->maxSteps = 1;
  if (withTempDir && !rt_->tempDir.Create(dir_.path()))
    throw std::runtime_error("cannot create a temporary folder");
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

static std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& cwd) {
  ScratchDir io;
  const std::string outPath = (io / "out").string(), errPath = (io / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

  std::vector<std::string> argStore{program};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
  envStore.insert(envStore.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid;
  ProcessResult result;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    throw std::runtime_error("cannot start " + program);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = Slurp(outPath);
  result.err = Slurp(errPath);
  return result;
}

ProcessResult RunPxrun(const std::vector<std::string>& args, const std::vector<std::string>& env,
                       const std::string& cwd) {
  return RunProgram(PXRUN_BINARY, args, env, cwd);
}

px::GameFile SampleGame() {
  px::GameFile game;
  game.gameId = 424242;
  for (int i = 0; i < 16; ++i) game.gameGuid[i] = static_cast<std::uint8_t>(i * 17);
  game.d3dxLibrary = {'M', 'Z', 0x90, 0};
  game.resources.constants = {{"SPEED", "4"}, {"NAME", "\"demo\""}};
  game.resources.gameInformation.caption = "About";
  game.resources.gameInformation.text = "{\\rtf1 hello}";
  game.resources.libraryInitCode = {"a = 1;", "b = 2;"};
  for (const char* name : {"rm_0", "rm_1", "rm_2"}) game.resources.rooms.add(name, px::CRoom{});
  game.resources.roomOrder = {0, 2, 1};
  game.resources.lastInstanceId = 100007;
  game.resources.lastTileId = 10000003;
  return game;
}

}  // namespace pxtest

namespace pxtest {

px::TBitmap32 PatternImage(int width, int height, std::uint32_t seed) {
  px::TBitmap32 image(width, height);
  std::uint32_t v = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      v = v * 1664525u + 1013904223u;
      image.SetPixel(x, y, v);
    }
  return image;
}

namespace {

using namespace px;

TMask MaskOf(const TBitmap32& image) {
  TMask m;
  m.width = image.width();
  m.height = image.height();
  const RRect box = image.OpaqueBounds(127);
  m.left = box.left, m.top = box.top, m.right = box.right, m.bottom = box.bottom;
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) m.bits.push_back((image.GetPixel(x, y) >> 24) > 127);
  return m;
}

CSprite MakeSprite(int frames, bool separate, std::uint32_t seed) {
  CSprite s;
  s.xoffset = 3;
  s.yoffset = -2;
  for (int i = 0; i < frames; ++i) s.images.push_back(PatternImage(5, 4, seed + i));
  s.separateMasks = separate;
  for (int i = 0; i < (separate ? frames : std::min(frames, 1)); ++i)
    s.masks.push_back(MaskOf(s.images[i]));
  s.ComputeBoundingBox();
  return s;
}

CAction MakeAction(ActionKind kind, int n) {
  CAction a;
  a.library_id = 1;
  a.action_id = 100 + n;
  a.kind = kind;
  a.may_be_relative = n % 2 == 0;
  a.is_question = n % 3 == 0;
  a.has_applies_to = true;
  a.exec_type = kind == ActionKind::Code ? ExecType::Code : ExecType::Function;
  a.function_name = "action_" + std::to_string(n);
  a.code = kind == ActionKind::Code ? "x += " + std::to_string(n) + ";" : "";
  a.arg_count = n % 4;
  a.arg_kinds.assign(static_cast<std::size_t>(a.arg_count), n);
  a.applies_to = n % 2 ? -1 : -2;
  a.relative = n % 2 == 1;
  // A code action's code is its first argument.
  for (int i = 0; i < a.arg_count; ++i)
    a.arg_texts.push_back(kind == ActionKind::Code && i == 0 ? a.code : "arg" + std::to_string(i));
  a.is_not = n == 3;
  return a;
}

CEvent EveryActionKind() {
  CEvent e;
  for (int k = 0; k <= 7; ++k) e.actions.push_back(MakeAction(static_cast<ActionKind>(k), k));
  return e;
}

CPath MakePath(int kind, bool closed, int precision) {
  CPath p;
  p.kind = kind;
  p.closed = closed;
  p.precision = precision;
  p.points = {{0, 0, 100}, {64, 0, 50}, {64, 48, 100}, {0, 48, 25}};
  p.GeometryChanged();
  return p;
}

CRoom MakeRoom(int backgroundIndex, int backgroundWidth, int backgroundHeight) {
  CRoom r;
  r.caption = "Level";
  r.width = 64;
  r.height = 48;
  r.speed = 60;
  r.persistent = true;
  r.background_color = 0x102030;
  r.show_color = false;
  r.creation_code = "global.level = 1;";
  r.layers[0] = {true, false, backgroundIndex, 5, 6, false, true, 1, -2, true};
  r.layers[0].xscale = 64.0 / backgroundWidth;
  r.layers[0].yscale = 48.0 / backgroundHeight;
  r.layers[3] = {true, true, 99, 0, 0, true, false, 0, 0, true};  // missing background: scale 1
  r.views_enabled = true;
  r.views[0] = {true, 1, 2, 320, 240, 3, 4, 640, 480, 16, 24, 5, 6, 0};
  r.views[7].visible = true;
  r.instances = {{10, 20, 0, 100001, "speed = 2;"}, {30, 40, 2, 100002, ""}};
  r.tiles = {{1, 2, backgroundIndex, 0, 0, 2, 2, 1000, 10000001},
             {8, 9, backgroundIndex, 1, 1, 1, 1, -5, 10000002}};
  return r;
}

CExtensionPackage MakePackage() {
  CExtensionPackage p;
  p.name = "Helpers";
  p.folder = "helpers";
  p.seed = 12345;

  CExtensionFile lib;
  lib.fileName = "helpers.so";
  lib.kind = ExtensionFileKind::Library;
  lib.initFunction = "helpers_init";
  CExtensionFunction init;
  init.name = init.externalName = "helpers_init";
  init.argCount = 0;
  CExtensionFunction add;
  add.name = "helpers_add";
  add.externalName = "add_numbers";
  add.convention = kExtensionCdecl;
  add.id = 1;
  add.argCount = 2;
  add.argKinds[1] = kExtensionArgString;
  add.resultKind = kExtensionArgString;
  lib.functions = {init, add};
  lib.constants = {{"HELPERS_VERSION", "3"}};
  lib.contents = {0x7F, 'E', 'L', 'F', 1, 2, 3};

  CExtensionFile script;
  script.fileName = "helpers.pxc";
  script.kind = ExtensionFileKind::Script;
  script.finalFunction = "helpers_done";
  CExtensionFunction twice;
  twice.name = twice.externalName = "helpers_twice";
  twice.id = 2;
  twice.argCount = 1;
  CExtensionFunction done;
  done.name = done.externalName = "helpers_done";
  done.id = 3;
  script.functions = {twice, done};
  const std::string text =
      "#define helpers_twice\r\nreturn argument0 * 2;\r\n#define helpers_done\r\nexit;";
  script.contents.assign(text.begin(), text.end());
  script.AttachScriptCode();

  CExtensionFile readme;
  readme.fileName = "readme.txt";
  readme.kind = ExtensionFileKind::NoContents;
  p.files = {lib, script, readme};
  return p;
}

}  // namespace

px::GameFile RichGame() {
  px::GameFile game = SampleGame();
  GameResources& r = game.resources;
  r.extensions = {MakePackage()};

  CTrigger t{.name = "at_edge",
             .condition = "x > room_width",
             .moment = 2,
             .constantName = "trig_edge",
             .compiled = nullptr};
  r.triggers.add(t.name, t);
  r.triggers.addEmpty();
  t = {.name = "always",
       .condition = "true",
       .moment = 0,
       .constantName = "trig_always",
       .compiled = nullptr};
  r.triggers.add(t.name, t);

  CSound snd;
  snd.kind = 0;
  snd.file_type = ".wav";
  snd.file_name = "jump.wav";
  snd.data = std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 0, 1, 2};
  snd.effects = 5;
  snd.volume = 0.75;
  snd.pan = -0.5;
  snd.preload = false;
  r.sounds.add("snd_jump", snd);
  r.sounds.addEmpty();
  CSound music;
  music.kind = 3;
  music.file_type = ".mid";
  r.sounds.add("snd_music", music);

  r.sprites.add("spr_shared", MakeSprite(3, false, 1));
  r.sprites.addEmpty();
  r.sprites.add("spr_separate", MakeSprite(2, true, 7));
  r.sprites.add("spr_empty", MakeSprite(0, false, 0));

  CBackground bg;
  bg.image = PatternImage(4, 3, 99);
  r.backgrounds.add("bg_sky", bg);
  r.backgrounds.addEmpty();
  r.backgrounds.add("bg_none", CBackground{});

  r.paths.add("path_straight", MakePath(0, false, 4));
  r.paths.addEmpty();
  r.paths.add("path_smooth", MakePath(1, true, 3));

  r.scripts.add("scr_move", CScript{"x += argument0;\r\ny += argument1;"});
  r.scripts.addEmpty();
  r.scripts.add("scr_empty", CScript{});

  CFont font;
  font.name = "Sans";
  font.size = 10;
  font.bold = true;
  font.first = 65;
  font.last = 67;
  for (int c = 65; c <= 67; ++c) font.glyphs[c] = {(c - 65) * 3, 0, 3, 4, 4, c - 66};
  font.page_width = 9;
  font.page_height = 4;
  for (int i = 0; i < 36; ++i) font.page_alpha.push_back(static_cast<std::uint8_t>(i * 7));
  r.fonts.addEmpty();
  r.fonts.add("fnt_small", font);

  CTimeLine tl;
  tl.steps = {0, 10, 30};
  tl.events = {EveryActionKind(), CEvent{}, CEvent{{MakeAction(ActionKind::Code, 9)}}};
  r.timeLines.add("tl_intro", tl);
  r.timeLines.addEmpty();

  CObject player;
  player.sprite_index = 0;
  player.solid = true;
  player.depth = -10;
  player.mask = 2;
  player.eventSlot(0, 0) = EveryActionKind();
  player.eventSlot(3, 2) = CEvent{{MakeAction(ActionKind::Code, 1)}};
  player.eventSlot(3, 0) = CEvent{{MakeAction(ActionKind::Normal, 2)}};
  player.eventSlot(4, 2) = CEvent{{MakeAction(ActionKind::Variable, 3)}};
  player.eventSlot(5, 37) = CEvent{};
  player.eventSlot(11, 0) = CEvent{{MakeAction(ActionKind::Exit, 4)}};
  r.objects.add("obj_player", player);
  r.objects.addEmpty();
  CObject wall;
  wall.visible = false;
  wall.persistent = true;
  wall.parent = 0;
  r.objects.add("obj_wall", wall);

  r.rooms.add("room_first", MakeRoom(0, 4, 3));
  r.rooms.addEmpty();
  r.rooms.add("room_plain", CRoom{});

  CDataFile data;
  data.fileName = "levels.txt";
  data.sourcePath = "C:\\game\\levels.txt";
  data.stored = true;
  data.size = 5;
  data.data = std::vector<std::uint8_t>{'1', '2', '3', '\r', '\n'};
  data.exportMode = ExportMode::TempDir;
  data.overwrite = true;
  data.freeAfterExport = false;
  r.dataFiles.push_back(data);
  CDataFile linked;
  linked.fileName = "big.dat";
  linked.exportMode = ExportMode::Folder;
  linked.exportFolder = "data";
  linked.removeAtEnd = false;
  r.dataFiles.push_back(linked);

  r.roomOrder = {2, 0};
  return game;
}

}  // namespace pxtest
