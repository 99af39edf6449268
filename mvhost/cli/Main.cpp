// mvhost: sets up and drives the embedded accounting host (docs/mvhost.md).
#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "mvhost/cli/Commands.h"
#include "mvhost/cli/LaunchCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"mvhost: the embedded accounting host's tool"};
  app.require_subcommand(1);
  std::string homeOption;
  app.add_option("--home", homeOption, "host home folder (default: MVHOST_HOME)");

  CLI::App* init = app.add_subcommand("init", "create the host home and its store");

  CLI::App* import = app.add_subcommand("import", "import a data set file (one transaction)");
  std::string importFile;
  bool replace = false;
  import->add_option("FILE", importFile, "data set file (.json)")->required();
  import->add_flag("--replace", replace, "replace a data set with the same number");

  CLI::App* exportCmd = app.add_subcommand("export", "write a data set to standard output");
  std::optional<int32_t> exportNo;
  exportCmd->add_option("DATA-NUMBER", exportNo, "data number (default: the selected one)");

  CLI::App* list = app.add_subcommand("list", "list data sets and users");

  CLI::App* select = app.add_subcommand("select", "set a user's selected data set");
  std::string selectUser;
  int32_t selectNo = 0;
  select->add_option("USER", selectUser, "user id")->required();
  select->add_option("DATA-NUMBER", selectNo, "data number")->required();

  CLI::App* state = app.add_subcommand("state", "show or set host state (edition, link, current_user)");
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

  CLI11_PARSE(app, argc, argv);

  std::string home = mvhost::ResolveHome(homeOption);
  if (init->parsed()) return mvhost::InitCommand(home);
  if (import->parsed()) return mvhost::ImportCommand(home, importFile, replace);
  if (exportCmd->parsed()) return mvhost::ExportCommand(home, exportNo);
  if (list->parsed()) return mvhost::ListCommand(home);
  if (select->parsed()) return mvhost::SelectCommand(home, selectUser, selectNo);
  if (state->parsed()) {
    if (!stateKey.empty() && state->count("VALUE") == 0) {
      std::cerr << "mvhost: state " << stateKey << " needs a VALUE\n";
      return 1;
    }
    return mvhost::StateCommand(home, stateKey, stateValue, !stateKey.empty());
  }
  launchOptions.home = homeOption;
  return mvhost::LaunchCommand(launchOptions);
}
