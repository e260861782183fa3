#include "tools/nc16/Commands.h"

#include <array>

namespace nc16::cli {

const std::string_view kSecretNote =
    "Secrets given as --password, --mn-password, --launcher-key or --key are visible to every\n"
    "local user (ps, /proc/PID/cmdline) and stay in the shell's history. Prefer the -file\n"
    "forms (the file's first line; a file that group or others can read is refused), or leave\n"
    "the secret out: when stdin is a terminal it is asked for without echo (a new encryption\n"
    "password twice).\n";

std::span<const Command> AllCommands() {
  // clang-format off
  static const std::array kCommands{
      Command{"version", "version", "print the program's version", RunVersion, 1, ""},
      Command{"export",
              "export --data-folder DIR --output FILE "
              "[--my-number [--mn-password PW | --mn-password-file FILE]] "
              "[--password PW | --password-file FILE | "
              "(--launcher-key BASE64 | --key-file FILE) [--function-id N]]",
              "write the intermediate file of a data set; exit 0 written, 3 no employee, "
              "5 employee data with problems, 6 written but its My Number log record was not, "
              "4 other failure, 2 wrong usage\n"
              "  nc16 export --all --output-dir DIR [--year YYYY] [--my-number --mn-password-file "
              "FILE] [--password-file FILE | --password PW] [--report FILE.html]\n"
              "      every used data set of the installation, each as the single export writes "
              "it, into DIR/KEY.xml\n      (DIR/KEY.xml.qve with individual numbers; FILE: one "
              "KEY<TAB>password line per data set,\n      readable by its owner only); a summary "
              "per data set on stdout; exit 0 all written,\n      4 any failed or refused, else "
              "5 any with problems, else 3",
              RunExport, 4, kSecretNote},
      Command{"datasets", "datasets",
              "list the used data sets of the installation in the data list's order, as "
              "tab-separated UTF-8:\n      key, name, period, folder, version, state (ok, or "
              "refused and the reason);\n      exit 0, 4 when the installation or the list "
              "cannot be read",
              RunDatasets, 4, ""},
      Command{"check", "check (--data-folder DIR | --all [--year YYYY] [--report FILE.html])",
              "run every check and the whole extraction of one or every data set, writing "
              "nothing;\n      the summary of export --all with result ok, error lists on "
              "stderr; its exit statuses",
              RunCheck, 4, ""},
      Command{"pxdump", "pxdump FILE [--codepage N] | pxdump --folder DIR --sql \"SELECT ...\"",
              "print a Paradox table, or the result of one query on a folder of tables, as "
              "tab-separated UTF-8 text", RunPxdump, 1, ""},
      Command{"decrypt",
              "decrypt [--password PW | --password-file FILE | --key BASE64 | --key-file FILE] "
              "IN OUT",
              "decrypt an encrypted intermediate file (*.xml.qve) to OUT (\"-\": the standard "
              "output); without a secret the password is asked for at the terminal",
              RunDecrypt, 1, kSecretNote},
      Command{"vnprotect", "vnprotect encode|decode TEXT",
              "encode a text to its stored form in the payroll tables, or decode one",
              RunVnprotect, 1, ""},
      Command{"demo-data",
              "demo-data --root DIR [--employees N] [--data-version V] [--seed S] [--data-sets N] "
              "[--force] [--windows-copy]",
              "write a demo installation of the payroll product under DIR and print the "
              "export lines that point the programs at it;\n      --data-sets N (0 to 195) adds "
              "N clean data sets of generated companies, each of about --employees employees;"
              "\n      --windows-copy lays it out as a copy from Windows (upper-case names, one DB "
              "folder, Windows paths in the list)",
              RunDemoData, 1, ""},
  };
  // clang-format on
  return kCommands;
}

}  // namespace nc16::cli
