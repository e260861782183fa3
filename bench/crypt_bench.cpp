// Encrypting a large intermediate document against writing the same bytes in plain, in one run.
//
//   crypt_bench [FOLDER] [MEGABYTES] [RUNS]     (defaults: the temporary folder, 100, 3)
//
// Both writes go through the same atomic-file path (temporary file, fsync, rename), so the
// difference is the cryptography. The password hash costs the same whatever the document's
// size; it is measured on its own (an empty document) and reported apart from the per-byte
// cost.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "external/qvcrypt/QvCryptLib.h"
#include "platform/AtomicFile.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

double Best(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A document shaped like the real one: Shift_JIS XML with CR LF lines, one employee after
// another.
std::string MakeDocument(size_t size) {
  const std::string head = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT><DATA>";
  std::string doc = head;
  doc.reserve(size + 256);
  for (unsigned n = 0; doc.size() < size; ++n) {
    doc += "<SYAIN><KIHON_JOUHOU><HONNNIN_JOUHOU><SYAIN_CODE>" + std::to_string(n) +
           "</SYAIN_CODE><SIKIBETU_CODE>" + std::to_string(100000000000ULL + n * 7919ULL) +
           "</SIKIBETU_CODE></HONNNIN_JOUHOU></KIHON_JOUHOU></SYAIN>\r\n";
  }
  doc.resize(size);
  return doc;
}

void Check(int32_t r, const char* what) {
  if (r != QVCRYPT_OK) {
    std::fprintf(stderr, "crypt_bench: %s failed with %d\n", what, r);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::string doc = MakeDocument(megabytes * 1000 * 1000);
  const auto plain_path = folder / "crypt_bench_plain.xml";
  const auto enc_path = folder / "crypt_bench.xml.qve";
  const QvCryptKdfLimits def = QvCryptDefaultKdfLimits();
  const auto len = static_cast<int32_t>(doc.size());

  std::vector<double> plain, empty_pw, pw, fast, key, dec;
  const QvCryptKdfLimits cheapest{1, 8192};
  for (int i = 0; i < runs; ++i) {
    // The password hash first, then the plain write right beside the two per-byte runs.
    empty_pw.push_back(Seconds([&] {
      Check(QvCryptEncryptMemToFile(nullptr, 0, enc_path.c_str(), "password"), "empty");
    }));
    pw.push_back(Seconds([&] {
      Check(QvCryptEncryptMemToFile(doc.data(), len, enc_path.c_str(), "password"), "password");
    }));
    std::filesystem::remove(enc_path);
    plain.push_back(
        Seconds([&] { nc16::WriteFileAtomic(plain_path, doc, nc16::FileAccess::kOwnerOnly); }));
    std::filesystem::remove(plain_path);
    fast.push_back(Seconds([&] {
      Check(QvCryptEncryptMemToFileEx(doc.data(), len, enc_path.c_str(), "password", &cheapest),
            "cheapest");
    }));
    std::filesystem::remove(enc_path);
    key.push_back(Seconds([&] {
      Check(QvCryptEncryptMemToFileByKey(doc.data(), len, enc_path.c_str(), "launcher key"), "key");
    }));
    dec.push_back(Seconds([&] {
      void* out = nullptr;
      int32_t n = 0;
      Check(QvCryptDecryptFileToMemByKey(enc_path.c_str(), "launcher key", &out, &n), "decrypt");
      QvCryptFreeMem(out);
    }));
    std::filesystem::remove(enc_path);
  }

  const double p = Best(plain), f = Best(empty_pw), e = Best(pw), s = Best(fast), k = Best(key),
               d = Best(dec);
  std::printf("document: %zu bytes, folder %s, best of %d runs\n", doc.size(),
              folder.string().c_str(), runs);
  // Timings are wall-clock: on a shared machine the load beside the run says how far to trust
  // them.
  if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
    char line[128] = {};
    if (std::fgets(line, sizeof line, f) != nullptr) std::printf("load average: %s", line);
    std::fclose(f);
  }
  std::printf("password hash: Argon2id, %llu passes, %llu MiB\n",
              static_cast<unsigned long long>(def.opslimit),
              static_cast<unsigned long long>(def.memlimit >> 20));
  std::printf("%-44s %8.3f s  %7.1f MB/s\n", "plain write (atomic, fsync)", p,
              doc.size() / p / 1e6);
  std::printf("%-44s %8.3f s\n", "fixed cost: password encrypt of 0 bytes", f);
  std::printf("%-44s %8.3f s  %7.1f MB/s\n", "password encrypt (default hash)", e,
              doc.size() / e / 1e6);
  std::printf("%-44s %8.3f s  %7.1f MB/s\n", "password encrypt (cheapest hash, Ex)", s,
              doc.size() / s / 1e6);
  std::printf("%-44s %8.3f s  %7.1f MB/s\n", "key encrypt (no password hash)", k,
              doc.size() / k / 1e6);
  std::printf("%-44s %8.3f s  %7.1f MB/s\n", "key decrypt into memory", d, doc.size() / d / 1e6);
  // The target: encrypting costs at most twice the plain write, plus the password hash.
  const bool total_ok = e <= 2 * p + f;
  std::printf("password encrypt %.3f s vs 2 x plain + fixed = %.3f s: %s\n", e, 2 * p + f,
              total_ok ? "within target" : "OVER target");
  std::printf(
      "per-byte cost / plain write: password (cheapest hash) %.2f, key %.2f (target <= 2)\n", s / p,
      k / p);
  // Ratios within each run, whose plain write and encryption ran close together under the same
  // load; their median drifts less with the machine's load than the best times do.
  std::vector<double> key_ratio, pw_ratio;
  for (size_t i = 0; i < plain.size(); ++i) {
    key_ratio.push_back(key[i] / plain[i]);
    pw_ratio.push_back(fast[i] / plain[i]);
  }
  std::printf("median per-run ratio to the plain write: password (cheapest hash) %.2f, key %.2f\n",
              Median(pw_ratio), Median(key_ratio));
  std::printf("all runs (s): plain");
  for (double v : plain)
    std::printf(" %.3f", v);
  std::printf(" | fixed");
  for (double v : empty_pw)
    std::printf(" %.3f", v);
  std::printf(" | password");
  for (double v : pw)
    std::printf(" %.3f", v);
  std::printf(" | cheapest");
  for (double v : fast)
    std::printf(" %.3f", v);
  std::printf(" | key");
  for (double v : key)
    std::printf(" %.3f", v);
  std::printf("\n");
  return total_ok && s <= 2 * p && k <= 2 * p ? 0 : 1;
}
