// Extraction throughput: ExtractContainer over a package (MB/s of installed
// bytes, files written to a RAM-backed directory through the host platform),
// into an empty directory and over the files already there, beside the raw
// zlib uncompress plus MD5 of the same records (the baseline).
//
// The synthetic package always runs; set ZV_BENCH_PACKAGE to a package file
// to measure it as well. Files go to $ZV_BENCH_DIR (default /dev/shm).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "package/container_reader.h"
#include "package/container_writer.h"
#include "package/digest.h"
#include "package/extract.h"
#include "package/file_io.h"
#include "package/work_buffer.h"
#include "platform/posix/posix_services.h"
#include "platform/win_constants.h"
#include "synthetic_package.h"

namespace zv::bench {

// Where every benchmark unpacks, with its trailing separator.
std::string g_targetDir;

namespace {

struct Package {
  std::string bytes;
  uint64_t contentBytes = 0;
};

ContainerBytes View(const Package& package) {
  return ContainerBytes{reinterpret_cast<const uint8_t*>(package.bytes.data()),
                        package.bytes.size()};
}

Package SyntheticPackage() {
  ContainerWriter writer(ContainerLayout::kDigest);
  Package package;
  for (const auto& [name, content] : SyntheticProductFiles()) {
    if (writer.Add(name, content) != AddResult::kAdded) {
      std::fprintf(stderr, "cannot pack %s\n", name.c_str());
      std::exit(1);
    }
    package.contentBytes += content.size();
  }
  package.bytes = writer.Finish();
  return package;
}

// The installed size of a package read from a file: the sum of its records'
// unpacked sizes.
Package PackageFromFile(const std::string& path, std::vector<uint8_t>* scratch) {
  Package package;
  auto file = platform::Files().CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                            win::kOpenExisting, win::kAttributeNormal);
  const size_t size = file ? static_cast<size_t>(file->Size()) : 0;
  file.reset();
  if (size == 0 || !ReadFileBytes(path, size, &package.bytes)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(1);
  }
  ContainerReader reader(View(package));
  PackageEntry entry;
  while (reader.Next(&entry)) {
    uLongf length = static_cast<uLongf>(scratch->size());
    if (uncompress(scratch->data(), &length, entry.stream, entry.streamSize) == Z_OK) {
      package.contentBytes += length;
    }
  }
  return package;
}

void EmptyTargetDirectory() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(g_targetDir, error)) {
    std::filesystem::remove_all(entry.path(), error);
  }
}

// Unpacks into an empty directory each time (a fresh install), or, with
// `overExisting`, over the files of the last round (a reinstall).
void ExtractPackage(benchmark::State& state, const Package* package, std::vector<uint8_t>* scratch,
                    bool overExisting) {
  for (auto _ : state) {
    if (!overExisting) {
      state.PauseTiming();
      EmptyTargetDirectory();
      state.ResumeTiming();
    }
    const bool complete = ExtractContainer(View(*package), g_targetDir,
                                           ScratchArea{scratch->data(), scratch->size()});
    if (!complete) state.SkipWithError("extraction incomplete");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * package->contentBytes));
  state.counters["package_MB"] = static_cast<double>(package->bytes.size()) / 1e6;
  state.counters["installed_MB"] = static_cast<double>(package->contentBytes) / 1e6;
}

// Decodes every record into the scratch slot with zlib's uncompress and
// takes its digest: the baseline of the extraction.
void InflateAndDigest(benchmark::State& state, const Package* package,
                      std::vector<uint8_t>* scratch) {
  char digest[kDigestTextSize];
  const size_t room = ScratchContentCapacity({scratch->data(), scratch->size()});
  uint8_t* const slot = scratch->data() + kScratchContentOffset;
  for (auto _ : state) {
    ContainerReader reader(View(*package));
    PackageEntry entry;
    while (reader.Next(&entry)) {
      uLongf length = static_cast<uLongf>(room);
      uncompress(slot, &length, entry.stream, entry.streamSize);
      BufferDigest(slot, length, digest);
      benchmark::DoNotOptimize(digest);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * package->contentBytes));
}

std::string MakeTargetDirectory() {
  const char* base = std::getenv("ZV_BENCH_DIR");
  std::string dir = std::string(base ? base : "/dev/shm") + "/zvbench-" + std::to_string(getpid());
  platform::Files().CreateDirectoryA(dir);
  return dir;
}

void RemoveTargetDirectory(const std::string& dir) {
  std::error_code error;
  std::filesystem::remove_all(dir, error);
}

void Register(const std::string& label, const Package* package, std::vector<uint8_t>* scratch) {
  benchmark::RegisterBenchmark(("ExtractContainer/" + label).c_str(), ExtractPackage, package,
                               scratch, false)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("ExtractContainerOverExisting/" + label).c_str(), ExtractPackage,
                               package, scratch, true)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("UncompressPlusMd5/" + label).c_str(), InflateAndDigest, package,
                               scratch)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

}  // namespace
}  // namespace zv::bench

int main(int argc, char** argv) {
  using namespace zv;
  platform::posix::InstallPosixServices(936);
  std::vector<uint8_t> scratch(kWorkBufferSize);
  const std::string dir = bench::MakeTargetDirectory();
  bench::g_targetDir = dir + "/";

  const bench::Package synthetic = bench::SyntheticPackage();
  bench::Register("synthetic", &synthetic, &scratch);
  bench::Package demo;
  if (const char* path = std::getenv("ZV_BENCH_PACKAGE")) {
    demo = bench::PackageFromFile(path, &scratch);
    bench::Register("package", &demo, &scratch);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench::RemoveTargetDirectory(dir);
  return 0;
}
