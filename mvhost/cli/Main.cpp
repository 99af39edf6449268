// mvhost: sets up and drives the embedded accounting host (docs/mvhost.md).
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "mvhost/cli/BatchCommand.h"
#include "mvhost/cli/Commands.h"
#include "mvhost/cli/LaunchCommand.h"
#include "mvhost/cli/RunsCommand.h"
#include "mvhost/cli/Usage.h"

int main(int argc, char** argv) {
  CLI::App app{"mvhost: the embedded accounting host's tool"};
  app.require_subcommand(1);
  // --home is taken before and after the command.
  app.fallthrough();
  app.set_version_flag("--version", std::string("mvhost ") + mvhost::kToolVersion);
  std::string homeOption;
  app.add_option("--home", homeOption, "host home folder (default: MVHOST_HOME)");

  CLI::App* init = app.add_subcommand("init", "create the host home and its store");

  CLI::App* import = app.add_subcommand("import", "import a data set file (one transaction)");
  std::string importFile;
  mvhost::ImportCommandOptions importOptions;
  std::string jsonEncoding;
  std::string csvEncoding;
  std::string warnings;
  const CLI::Validator encodingName(
      [](std::string& name) {
        mvhost::TextEncoding ignored;
        return mvhost::ParseTextEncoding(name, &ignored)
                   ? std::string()
                   : "unknown encoding " + name +
                         " (utf-8, or cp932 also named shift_jis, sjis, "
                         "windows-31j)";
      },
      "ENCODING");
  import->add_option("FILE", importFile, "data set file (.json)")->required();
  import->add_flag("--replace", importOptions.replace, "replace a data set with the same number");
  import
      ->add_option("--encoding", jsonEncoding,
                   "of the JSON file, and of the CSV file unless --csv-encoding is given: "
                   "utf-8 (default) or cp932 (shift_jis, sjis, windows-31j)")
      ->check(encodingName);
  import->add_option("--csv-encoding", csvEncoding, "of the journal CSV file: utf-8 or cp932")
      ->check(encodingName);
  import
      ->add_option("--warnings", warnings,
                   "findings of the bookkeeping check to print: all, or none (default: the "
                   "first five and a count)")
      ->check(CLI::IsMember({"all", "none"}));

  CLI::App* check = app.add_subcommand("check", "check a data set for bookkeeping mistakes");
  mvhost::CheckCommandOptions checkOptions;
  std::string checkMonths;
  check->add_option("DATA-NUMBER", checkOptions.dataNo, "data number (default: the selected one)");
  check->add_option("--months", checkMonths,
                    "calendar months S-E as the program takes them, e.g. 4-9 (default: the whole "
                    "period)");
  check->add_flag("--json", checkOptions.json, "the findings as a JSON list");

  CLI::App* exportCmd = app.add_subcommand("export", "write a data set to standard output");
  std::optional<int32_t> exportNo;
  exportCmd->add_option("DATA-NUMBER", exportNo, "data number (default: the selected one)");
  std::string exportCsv;
  exportCmd->add_option("--journals-csv", exportCsv,
                        "write the journal lines to this CSV file instead of inline");

  CLI::App* list = app.add_subcommand("list", "list data sets and users");

  CLI::App* select = app.add_subcommand("select", "set a user's selected data set");
  std::string selectUser;
  int32_t selectNo = 0;
  select->add_option("USER", selectUser, "user id")->required();
  select->add_option("DATA-NUMBER", selectNo, "data number")->required();

  CLI::App* state =
      app.add_subcommand("state", "show or set host state (edition, link, current_user)");
  std::string stateKey;
  std::string stateValue;
  state->add_option("KEY", stateKey, "edition, link or current_user");
  state->add_option("VALUE", stateValue, "new value; empty removes the key");

  CLI::App* launch = app.add_subcommand("launch", "start a TaxLink program as the host does");
  mvhost::LaunchOptions launchOptions;
  launch->add_option("EDITION", launchOptions.edition, "Alto, Std or Serena")->required();
  launch->add_option("--function-id", launchOptions.functionId, "function id (default 1)")
      ->check(CLI::Range(-32768, 32767));
  launch->add_option("--path", launchOptions.pathText, "the host's output path text");
  launch->add_option("--program", launchOptions.program, "program to start instead");
  launch->add_flag("--sheet", launchOptions.sheet,
                   "after a written run, write the report's check sheet beside it, with the "
                   "bookkeeping check's findings for the run's months");
  launch->add_option("--trace", launchOptions.trace,
                     "write the trace of the run's figures to this file (with --sheet: the "
                     "sheet's figures open their contributions)");

  CLI::App* batch = app.add_subcommand("batch", "run the link for many data sets, no questions");
  mvhost::BatchOptions batchOptions;
  std::string batchMonths;
  bool wholePeriod = false;
  std::string batchMethod = "journals";
  batch->add_option("--out", batchOptions.out, "folder of the reports and the index")->required();
  batch->add_option("--months", batchMonths, "calendar months S-E, e.g. 4-9");
  batch->add_flag("--whole-period", wholePeriod, "each data set's whole period");
  batch->add_option("--method", batchMethod, "journals (default) or saved")
      ->check(CLI::IsMember({"journals", "saved"}));
  batch
      ->add_option("--edition", batchOptions.edition,
                   "Alto, Std or Serena (default: the home's edition, else Alto)")
      ->check(CLI::IsMember({"Alto", "Std", "Serena"}));
  batch->add_flag("--overwrite", batchOptions.overwrite, "replace reports that exist");
  batch->add_option("-j,--jobs", batchOptions.jobs, "runs at once (default: the cores)")
      ->check(CLI::Range(1, 256));
  batch->add_flag("--resume", batchOptions.resume,
                  "leave clients whose report is written and newer than their data");
  batch->add_flag("--all", batchOptions.all, "every data set of the home");
  bool noFindings = false;
  batch->add_flag("--no-findings", noFindings,
                  "no bookkeeping check per client (it reads every line: on large data sets it "
                  "costs more than the run)");
  batch->add_option("DATA-NUMBER", batchOptions.dataNos, "data numbers");
  batch->add_option("--program", batchOptions.program, "program to start instead");

  CLI::App* runs = app.add_subcommand("runs", "list the run log");
  std::optional<int32_t> runsData;
  bool runsJson = false;
  runs->add_option("--data", runsData, "only the runs of this data number");
  runs->add_flag("--json", runsJson, "as a JSON list");

  std::vector<std::string> args(argv + 1, argv + argc);
  if (std::optional<std::string> unknown = mvhost::UnknownCommand(args)) {
    return mvhost::UsageError("unknown command " + *unknown, "");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help and --version
  } catch (const CLI::ParseError& e) {
    std::string command;
    for (const CLI::App* sub : app.get_subcommands()) command = sub->get_name();
    std::string message = e.what();
    if (command.empty() && dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
      message = "no command given";
    }
    return mvhost::UsageError(message, command);
  }

  std::string home = mvhost::ResolveHome(homeOption);
  if (init->parsed()) return mvhost::InitCommand(home);
  if (import->parsed()) {
    // The CSV file takes the JSON file's encoding unless it has its own.
    importOptions.jsonEncoding.given = !jsonEncoding.empty();
    mvhost::ParseTextEncoding(jsonEncoding, &importOptions.jsonEncoding.encoding);
    importOptions.csvEncoding = {importOptions.jsonEncoding.encoding, false};
    if (!csvEncoding.empty()) {
      importOptions.csvEncoding.given = true;
      mvhost::ParseTextEncoding(csvEncoding, &importOptions.csvEncoding.encoding);
    }
    if (warnings == "all") importOptions.warnings = mvhost::ImportWarnings::kAll;
    if (warnings == "none") importOptions.warnings = mvhost::ImportWarnings::kNone;
    return mvhost::ImportCommand(home, importFile, importOptions);
  }
  if (check->parsed()) {
    if (!checkMonths.empty() &&
        !mvhost::ParseMonthRange(checkMonths, &checkOptions.startMonth, &checkOptions.endMonth)) {
      return mvhost::UsageError(
          "--months: not a range of calendar months S-E (1 to 12): " + checkMonths, "check");
    }
    return mvhost::CheckCommand(home, checkOptions);
  }
  if (exportCmd->parsed()) return mvhost::ExportCommand(home, exportNo, exportCsv);
  if (list->parsed()) return mvhost::ListCommand(home);
  if (select->parsed()) return mvhost::SelectCommand(home, selectUser, selectNo);
  if (state->parsed()) {
    if (stateKey.empty()) return mvhost::ShowStateCommand(home);
    if (state->count("VALUE") == 0) return mvhost::StateValueCommand(home, stateKey);
    return mvhost::StateCommand(home, stateKey, stateValue);
  }
  if (batch->parsed()) {
    if (batchMonths.empty() == !wholePeriod) {
      return mvhost::UsageError("give either --months S-E or --whole-period", "batch");
    }
    if (!batchMonths.empty() &&
        !mvhost::ParseMonthRange(batchMonths, &batchOptions.startMonth, &batchOptions.endMonth)) {
      return mvhost::UsageError(
          "--months: not a range of calendar months S-E (1 to 12): " + batchMonths, "batch");
    }
    if (batchOptions.all == !batchOptions.dataNos.empty()) {
      return mvhost::UsageError("give either data numbers or --all", "batch");
    }
    batchOptions.savedValues = batchMethod == "saved";
    batchOptions.findings = !noFindings;
    batchOptions.home = homeOption;
    return mvhost::BatchCommand(batchOptions);
  }
  if (runs->parsed()) return mvhost::RunsCommand(home, runsData, runsJson);
  launchOptions.home = homeOption;
  return mvhost::LaunchCommand(launchOptions);
}
