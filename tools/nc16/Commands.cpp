#include "tools/nc16/Commands.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace nc16::cli {

const std::string_view kSecretNote =
    "Secrets given as --password, --mn-password, --launcher-key or --key are visible to every\n"
    "local user (ps, /proc/PID/cmdline) and stay in the shell's history. Prefer the -file\n"
    "forms (the file's first line; a file that group or others can read is refused), or leave\n"
    "the secret out: when stdin is a terminal it is asked for without echo (a new encryption\n"
    "password twice).\n";

namespace {

using enum ValueKind;

// clang-format off
constexpr Option kExport[] = {
    {"data-folder", kFolder}, {"output", kFile}, {"my-number", kNone}, {"mn-password", kText},
    {"mn-password-file", kFile}, {"password", kText}, {"password-file", kFile},
    {"launcher-key", kText}, {"key-file", kFile}, {"function-id", kText}};
constexpr Option kExportAll[] = {
    {"all", kNone}, {"output-dir", kFolder}, {"year", kText}, {"my-number", kNone},
    {"mn-password-file", kFile}, {"password-file", kFile}, {"password", kText},
    {"report", kFile}};
constexpr Option kCheck[] = {
    {"data-folder", kFolder}, {"all", kNone}, {"year", kText}, {"report", kFile}};
constexpr Option kPxdump[] = {{"codepage", kText}, {"folder", kFolder}, {"sql", kText}};
constexpr Option kDecrypt[] = {
    {"password", kText}, {"password-file", kFile}, {"key", kText}, {"key-file", kFile}};
constexpr Option kDemoData[] = {
    {"root", kFolder}, {"employees", kText}, {"data-version", kText}, {"seed", kText},
    {"data-sets", kText}, {"force", kNone}, {"windows-copy", kNone}};
constexpr std::string_view kVnprotectWords[] = {"encode", "decode"};
constexpr std::string_view kCompletionWords[] = {"bash"};

const std::array kCommands{
    Command{"version", "", "version", "print the program's version", {}, kNone, {}, RunVersion, 1,
            ""},
    Command{"export", "",
            "export --data-folder DIR --output FILE "
            "[--my-number [--mn-password PW | --mn-password-file FILE]] "
            "[--password PW | --password-file FILE | "
            "(--launcher-key BASE64 | --key-file FILE) [--function-id N]]",
            "write the intermediate file of a data set; exit 0 written, 3 no employee, "
            "5 employee data with problems, 6 written but its My Number log record was not, "
            "4 other failure, 2 wrong usage",
            kExport, kNone, {}, RunExport, 4, kSecretNote},
    Command{"export", "all",
            "export --all --output-dir DIR [--year YYYY] [--my-number --mn-password-file FILE] "
            "[--password-file FILE | --password PW] [--report FILE.html]",
            "every used data set of the installation, each as the single export writes it, into "
            "DIR/KEY.xml\n      (DIR/KEY.xml.qve with individual numbers; FILE: one "
            "KEY<TAB>password line per data set,\n      readable by its owner only); a summary "
            "per data set on stdout; exit 0 all written,\n      4 any failed or refused, else "
            "5 any with problems, else 3",
            kExportAll, kNone, {}, RunExportAll, 4, kSecretNote},
    Command{"datasets", "", "datasets",
            "list the used data sets of the installation in the data list's order, as "
            "tab-separated UTF-8:\n      key, name, period, folder, version, state (ok, or "
            "refused and the reason);\n      exit 0, 4 when the installation or the list "
            "cannot be read",
            {}, kNone, {}, RunDatasets, 4, ""},
    Command{"check", "", "check (--data-folder DIR | --all [--year YYYY] [--report FILE.html])",
            "run every check and the whole extraction of one or every data set, writing "
            "nothing;\n      the summary of export --all with result ok, error lists on "
            "stderr; its exit statuses",
            kCheck, kNone, {}, RunCheck, 4, ""},
    Command{"pxdump", "", "pxdump FILE [--codepage N] | pxdump --folder DIR --sql \"SELECT ...\"",
            "print a Paradox table, or the result of one query on a folder of tables, as "
            "tab-separated UTF-8 text",
            kPxdump, kFile, {}, RunPxdump, 1, ""},
    Command{"decrypt", "",
            "decrypt [--password PW | --password-file FILE | --key BASE64 | --key-file FILE] "
            "IN OUT",
            "decrypt an encrypted intermediate file (*.xml.qve) to OUT (\"-\": the standard "
            "output); without a secret the password is asked for at the terminal",
            kDecrypt, kFile, {}, RunDecrypt, 1, kSecretNote},
    Command{"vnprotect", "", "vnprotect encode|decode TEXT",
            "encode a text to its stored form in the payroll tables, or decode one",
            {}, kWord, kVnprotectWords, RunVnprotect, 1, ""},
    Command{"demo-data", "",
            "demo-data --root DIR [--employees N] [--data-version V] [--seed S] [--data-sets N] "
            "[--force] [--windows-copy]",
            "write a demo installation of the payroll product under DIR and print the "
            "export lines that point the programs at it;\n      --data-sets N (0 to 195) adds "
            "N clean data sets of generated companies, each of about --employees employees;"
            "\n      --windows-copy lays it out as a copy from Windows (upper-case names, one DB "
            "folder, Windows paths in the list)",
            kDemoData, kNone, {}, RunDemoData, 1, ""},
    Command{"completion", "", "completion bash",
            "print the bash completion script of nc16 (the packages install it)",
            {}, kWord, kCompletionWords, RunCompletion, 1, ""},
};
// clang-format on

bool Given(std::span<char* const> args, std::string_view flag) {
  for (std::string_view a : args) {
    if (a == "--") break;
    if (a.starts_with("--") && a.substr(2) == flag) return true;
  }
  return false;
}

}  // namespace

std::span<const Command> AllCommands() {
  return kCommands;
}

const Command* FindCommand(std::string_view name, std::span<char* const> args) {
  const Command* plain = nullptr;
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    if (c.form.empty()) {
      plain = &c;
    } else if (Given(args, c.form)) {
      return &c;
    }
  }
  return plain;
}

std::string HelpText() {
  std::string out =
      "usage: nc16 <command> [arguments]\n\n"
      "Exports a payroll year to the intermediate file of the year-end tax adjustment, and\n"
      "the tools around it.\n\ncommands:\n";
  for (const Command& c : kCommands)
    out += "  nc16 " + std::string(c.usage) + "\n      " + std::string(c.summary) + "\n";
  out += "\n  nc16 --help     this text\n\n" + std::string(kSecretNote);
  return out;
}

std::string CommandHelp(std::string_view name) {
  std::string out;
  std::string_view notes;
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    // Appended piece by piece: GCC 12 at -O3 misreads `"..." + std::string(...)` as an
    // overlapping copy (-Wrestrict).
    out.append("usage: nc16 ").append(c.usage).append("\n").append(c.summary).append("\n");
    notes = c.notes;
  }
  if (!notes.empty()) out.append("\n").append(notes);
  return out;
}

std::string BashCompletion() {
  // The commands in the table's order, each once, with the options of all its forms.
  std::vector<std::string_view> names;
  for (const Command& c : kCommands)
    if (std::find(names.begin(), names.end(), c.name) == names.end()) names.push_back(c.name);

  std::string s =
      "# bash completion for nc16, made by `nc16 completion bash` from the program's own table\n"
      "# of commands: the subcommands, each one's options, and files or folders where an option\n"
      "# or argument names one.\n\n"
      "_nc16() {\n"
      "  local cur prev words cword\n"
      "  _init_completion -s || return\n\n"
      "  if ((cword == 1)); then\n"
      "    COMPREPLY=($(compgen -W \"";
  for (std::string_view n : names)
    s += std::string(n) + " ";
  s += "help --help\" -- \"$cur\"))\n"
       "    return\n"
       "  fi\n\n"
       "  local options=\"--help\" positional=\"\" choices=\"\"\n"
       "  case ${words[1]} in\n";
  for (std::string_view n : names) {
    std::set<std::string> files, folders, texts;
    std::string options, positional, choices;
    for (const Command& c : kCommands) {
      if (c.name != n) continue;
      for (const Option& o : c.options) {
        const std::string flag = "--" + std::string(o.name);
        if (options.find(flag + " ") == std::string::npos) options += flag + " ";
        if (o.value == kFile) files.insert(flag);
        if (o.value == kFolder) folders.insert(flag);
        if (o.value == kText) texts.insert(flag);
      }
      if (c.positional == kFile) positional = "file";
      if (c.positional == kFolder) positional = "folder";
      for (std::string_view w : c.words)
        choices += std::string(w) + " ";
    }
    s += "    " + std::string(n) + ")\n";
    auto cases = [&](const std::set<std::string>& flags, const char* action) {
      if (flags.empty()) return;
      std::string joined;
      for (const std::string& f : flags)
        joined += (joined.empty() ? "" : " | ") + f;
      s += "        " + joined + ") " + action + "\n";
    };
    if (!files.empty() || !folders.empty() || !texts.empty()) {
      s += "      case $prev in\n";
      cases(folders, "_filedir -d; return ;;");
      cases(files, "_filedir; return ;;");
      cases(texts, "return ;;");
      s += "      esac\n";
    }
    s += "      options=\"" + options + "--help\" positional=\"" + positional + "\" choices=\"" +
         (choices.empty() ? choices : choices.substr(0, choices.size() - 1)) + "\"\n";
    s += "      ;;\n";
  }
  s += "    *) return ;;\n"
       "  esac\n\n"
       "  if [[ $cur == -* ]]; then\n"
       "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
       "  elif [[ -n $choices ]]; then\n"
       "    ((cword == 2)) && COMPREPLY=($(compgen -W \"$choices\" -- \"$cur\"))\n"
       "  elif [[ $positional == file ]]; then\n"
       "    _filedir\n"
       "  elif [[ $positional == folder ]]; then\n"
       "    _filedir -d\n"
       "  fi\n"
       "} && complete -F _nc16 nc16\n";
  return s;
}

}  // namespace nc16::cli
