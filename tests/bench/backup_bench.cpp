// The backup of the user's data: BackupUserData over the demo product's user
// files, over the same with a 20 MB file of random bytes in the place of
// zavopyck.zvh, and with a second one in the place of cfontset.zvh, beside
// the raw zlib compress of the same bytes (MB/s of the files packed). Files
// lie in a RAM-backed directory ($ZV_BENCH_DIR, default /dev/shm) reached
// through the host platform; the user files are those of the demo package
// ($ZV_BENCH_PACKAGE, default the build's demo.zvz).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "package/extract.h"
#include "package/file_io.h"
#include "package/user_data_backup.h"
#include "platform/posix/posix_services.h"
#include "state/package_state.h"
#include "state/run_state.h"

namespace zv::bench {
namespace {

// The files the interactive installer packs (EditionFlag 1), by the name each
// is read from (rows 1 to 8 from their .zvh).
const char* const kSources[] = {
    "zavopyck.zvh", "zvszsj43.zvh", "cfontset.zvh", "cwbzlcz1.zvh", "zvwbcmxz.zvh", "zvdhzcm.zvh",
    "zavodhz.zvh",  "zvgbkhz.zvh",  "zvszsj43.zvh", "zavodwdw.txt", "zavozdym.zvh", "zvpyzdym.zvh",
    "zvwbpy.txt",   "zavoynhz.txt", "zavozdfh.zvh", "userck.txt",   "delck.txt",    "ftzvzdym.txt",
    "ftpyzdym.txt", "zavopymb.ov1", "zvgbkbh.zvh",  "zvszsj05.zvh", "zvszsj06.zvh"};

struct UserFiles {
  std::string directory;  // "C:\<label>\", below the bench directory
  std::vector<std::string> contents;
  uint64_t bytes = 0;
};

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

// Unpacks the demo package into `directory` and reads back the files packed.
UserFiles DemoUserFiles(const std::string& packagePath, const std::string& directory,
                        std::vector<uint8_t>* scratch) {
  std::string package;
  if (!ReadFileBytes(packagePath, 0x40000000, &package)) Die("cannot read " + packagePath);
  platform::Files().CreateDirectoryA(directory);
  ExtractContainer(ContainerBytes{reinterpret_cast<const uint8_t*>(package.data()), package.size()},
                   directory, ScratchArea{scratch->data(), scratch->size()});
  UserFiles files{directory, {}, 0};
  for (const char* name : kSources) {
    std::string content;
    if (!ReadFileBytes(directory + name, 0x40000000, &content)) Die(std::string("no ") + name);
    files.bytes += content.size();
    files.contents.push_back(std::move(content));
  }
  return files;
}

// Index in kSources of the second large file: near the start, so that
// nearly every row is added behind both.
constexpr size_t kSecondLargeSource = 2;

// Puts `size` random bytes (from `seed`) in the place of kSources[index].
void ReplaceWithRandom(UserFiles* files, size_t index, size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator());
  if (!WriteFileBytes(files->directory + kSources[index], bytes)) Die("cannot write a large file");
  files->bytes += size - files->contents[index].size();
  files->contents[index] = std::move(bytes);
}

void Backup(benchmark::State& state, const UserFiles* files) {
  EditionFlag = 1;
  for (auto _ : state) {
    if (BackupUserData(files->directory) != 1) state.SkipWithError("backup incomplete");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files->bytes));
  state.counters["files_MB"] = static_cast<double>(files->bytes) / 1e6;
}

void RawCompress(benchmark::State& state, const UserFiles* files) {
  std::string stream;
  for (auto _ : state) {
    for (const std::string& content : files->contents) {
      uLongf size = compressBound(static_cast<uLong>(content.size()));
      stream.resize(size);
      compress(reinterpret_cast<Bytef*>(&stream[0]), &size,
               reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()));
      benchmark::DoNotOptimize(stream.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files->bytes));
}

// The backup and the raw compress of one set of files, in milliseconds of
// wall time.
void Register(const std::string& label, const UserFiles* files) {
  using Body = void (*)(benchmark::State&, const UserFiles*);
  const std::pair<const char*, Body> pairs[] = {{"BackupUserData/", Backup},
                                                {"RawCompress/", RawCompress}};
  for (const auto& [name, body] : pairs) {
    benchmark::RegisterBenchmark((name + label).c_str(), body, files)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

}  // namespace
}  // namespace zv::bench

int main(int argc, char** argv) {
  const char* base = std::getenv("ZV_BENCH_DIR");
  zv::platform::posix::InstallPosixServices(936);
  using namespace zv;
  const std::string dir =
      std::string(base ? base : "/dev/shm") + "/zvbackup-" + std::to_string(getpid());
  std::filesystem::create_directories(dir + "/C:");
  if (chdir(dir.c_str()) != 0) bench::Die("cannot enter " + dir);
  const char* package = std::getenv("ZV_BENCH_PACKAGE");
  const std::string packagePath = package ? package : ZV_BENCH_DEMO_PACKAGE;

  std::vector<uint8_t> scratch(kWorkBufferSize);
  const bench::UserFiles demo = bench::DemoUserFiles(packagePath, "C:\\demo\\", &scratch);
  constexpr size_t kLargeSize = 20 * 1000 * 1000;
  bench::UserFiles large = bench::DemoUserFiles(packagePath, "C:\\large\\", &scratch);
  bench::ReplaceWithRandom(&large, 0, kLargeSize, 20);
  bench::UserFiles twoLarge = bench::DemoUserFiles(packagePath, "C:\\twolarge\\", &scratch);
  bench::ReplaceWithRandom(&twoLarge, 0, kLargeSize, 20);
  bench::ReplaceWithRandom(&twoLarge, bench::kSecondLargeSource, kLargeSize, 21);
  bench::Register("demo", &demo);
  bench::Register("demo_with_20MB", &large);
  bench::Register("demo_with_2x20MB", &twoLarge);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code error;
  std::filesystem::remove_all(dir, error);
  return 0;
}
