#pragma once
// The subcommands of fhr-cli, each in its own source file.
#include <string>
#include <vector>

#include "cli/command.h"

namespace fhr::cli {

int RunPaths(Context& ctx, const std::vector<std::string>& args);
int RunSettings(Context& ctx, const std::vector<std::string>& args);
int RunListMessages(Context& ctx, const std::vector<std::string>& args);
int RunShowMessage(Context& ctx, const std::vector<std::string>& args);
int RunRemoveMessage(Context& ctx, const std::vector<std::string>& args);
int RunDb(Context& ctx, const std::vector<std::string>& args);
int RunPack(Context& ctx, const std::vector<std::string>& args);
int RunKeys(Context& ctx, const std::vector<std::string>& args);
int RunKeyrings(Context& ctx, const std::vector<std::string>& args);
int RunTag(Context& ctx, const std::vector<std::string>& args);
int RunSubject(Context& ctx, const std::vector<std::string>& args);
int RunAccount(Context& ctx, const std::vector<std::string>& args);
int RunProxy(Context& ctx, const std::vector<std::string>& args);
int RunGet(Context& ctx, const std::vector<std::string>& args);
int RunCheck(Context& ctx, const std::vector<std::string>& args);
int RunCatchUp(Context& ctx, const std::vector<std::string>& args);
int RunSecure(Context& ctx, const std::vector<std::string>& args);
int RunDecrypt(Context& ctx, const std::vector<std::string>& args);

}  // namespace fhr::cli
