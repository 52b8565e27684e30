// A deterministic mutation driver for fuzz targets written against the
// libFuzzer entry point (LLVMFuzzerTestOneInput), so the same targets build
// with g++ in every lane, sanitizers included, and with clang's libFuzzer
// when someone wants a coverage-guided run.
//
//   fuzz_<target> <corpus folder> [--seconds S] [--runs N] [--seed X]
//
// Runs every corpus file as it is, then mutations of them (bit flips, byte
// changes, inserts, cuts, repeated slices, splices of two files, edge values)
// until S seconds or N runs have passed, whichever comes first. The same seed
// gives the same inputs in the same order. A target reports a fault by
// crashing (abort, trap, a sanitizer report); the input that did it is then
// written to "crash-<target>.bin" in the working folder and the run fails.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Present when a sanitizer runtime is linked in; called before it ends the run.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using Input = std::vector<uint8_t>;

// The input under test, kept where a crash handler can reach it.
const Input* g_current = nullptr;
char g_crashFile[256] = "crash.bin";

void SaveCurrentInput() {
  if (!g_current) return;
  const int fd = ::open(g_crashFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const uint8_t* at = g_current->data();
  size_t left = g_current->size();
  while (left > 0) {
    const ssize_t n = ::write(fd, at, left);
    if (n <= 0) break;
    at += n;
    left -= size_t(n);
  }
  ::close(fd);
  static const char kNote[] = "fuzz: the failing input is in the crash file\n";
  (void)!::write(2, kNote, sizeof kNote - 1);
}

void OnFatalSignal(int sig) {
  SaveCurrentInput();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

std::vector<Input> LoadCorpus(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());  // the same order on every machine
  std::vector<Input> corpus;
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return corpus;
}

class Mutator {
 public:
  Mutator(const std::vector<Input>& corpus, uint64_t seed) : corpus_(corpus), rng_(seed) {}

  Input Next() {
    Input d = corpus_[Pick(corpus_.size() - 1)];
    const size_t steps = 1 + Pick(4);
    for (size_t s = 0; s < steps; ++s) Step(d);
    return d;
  }

 private:
  size_t Pick(size_t max) { return std::uniform_int_distribution<size_t>(0, max)(rng_); }

  void Step(Input& d) {
    static const uint8_t kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, '"', '{', '}', '[', ']',
                                     ',', ':', '-', '0', '9', 'e'};
    const uint8_t byte = uint8_t(rng_());
    switch (Pick(7)) {
      case 0: if (!d.empty()) d[Pick(d.size() - 1)] ^= uint8_t(1u << Pick(7)); break;
      case 1: if (!d.empty()) d[Pick(d.size() - 1)] = byte; break;
      case 2: d.insert(d.begin() + long(Pick(d.size())), byte); break;
      case 3: if (!d.empty()) d.erase(d.begin() + long(Pick(d.size() - 1))); break;
      case 4: d.resize(Pick(d.size())); break;
      case 5: {  // repeat a slice: deeper nesting, more items
        if (d.size() < 2) break;
        const size_t from = Pick(d.size() - 1);
        const size_t len = std::min(Pick(32), d.size() - from);
        const Input slice(d.begin() + long(from), d.begin() + long(from + len));
        d.insert(d.begin() + long(Pick(d.size())), slice.begin(), slice.end());
        break;
      }
      case 6: {  // splice in a piece of another corpus file
        const Input& other = corpus_[Pick(corpus_.size() - 1)];
        if (other.empty()) break;
        const size_t from = Pick(other.size() - 1);
        const size_t len = std::min(Pick(64), other.size() - from);
        d.insert(d.begin() + long(Pick(d.size())), other.begin() + long(from),
                 other.begin() + long(from + len));
        break;
      }
      default:
        if (!d.empty()) d[Pick(d.size() - 1)] = kEdges[Pick(std::size(kEdges) - 1)];
    }
    if (d.size() > kMaxInput) d.resize(kMaxInput);
  }

  static constexpr size_t kMaxInput = 1 << 16;
  const std::vector<Input>& corpus_;
  std::mt19937_64 rng_;
};

int Usage() {
  std::fprintf(stderr, "usage: fuzz_<target> <corpus folder> [--seconds S] [--runs N] [--seed X]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::filesystem::path corpusFolder = argv[1];
  double seconds = 10;
  uint64_t runs = UINT64_MAX, seed = 20261210;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string opt = argv[i];
    if (opt == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (opt == "--runs") runs = std::strtoull(argv[i + 1], nullptr, 10);
    else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    else return Usage();
  }
  const std::string name = std::filesystem::path(argv[0]).filename().string();
  std::snprintf(g_crashFile, sizeof g_crashFile, "crash-%s.bin", name.c_str());
  if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(SaveCurrentInput);
  for (int sig : {SIGABRT, SIGSEGV, SIGILL, SIGFPE, SIGBUS}) std::signal(sig, OnFatalSignal);

  std::error_code ec;
  if (!std::filesystem::is_directory(corpusFolder, ec)) {
    std::fprintf(stderr, "%s: no corpus folder %s\n", name.c_str(), corpusFolder.c_str());
    return 2;
  }
  const std::vector<Input> corpus = LoadCorpus(corpusFolder);
  if (corpus.empty()) {
    std::fprintf(stderr, "%s: the corpus folder %s is empty\n", name.c_str(), corpusFolder.c_str());
    return 2;
  }

  uint64_t done = 0;
  for (const Input& input : corpus) {
    g_current = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ++done;
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  Mutator mutator(corpus, seed);
  Input input;
  while (done < runs && std::chrono::steady_clock::now() < end) {
    input = mutator.Next();
    g_current = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ++done;
  }
  g_current = nullptr;
  std::printf("%s: %llu inputs (%zu corpus files, seed %llu), no fault\n", name.c_str(),
              static_cast<unsigned long long>(done), corpus.size(),
              static_cast<unsigned long long>(seed));
  return 0;
}
