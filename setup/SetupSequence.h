#pragma once

// The decision sequence of mivo_setup: probe for a registered service of an
// earlier installation, run the two installation packages in turn, and tell
// the administrator what to do next. It holds no OS call: everything goes
// through SetupPlatform, so the sequence runs unchanged against a fake.

#include <cstddef>
#include <string>

#include "setup/SetupPlatform.h"

namespace MivoSetup {

// The service of an earlier installation, matched case-sensitively against
// the service name, never against the display name.
inline constexpr const char* SERVICE_NAME = "mivo_neo_srv";

// Caption of every message.
inline constexpr const char* CAPTION = "Mivo";

// The two packages, relative to the folder that holds mivo_setup: the
// service first, then the image files.
inline constexpr const char* FIRST_PACKAGE = "msi/mivo_setup.msi";
inline constexpr const char* SECOND_PACKAGE = "msi/setup2.msi";

// The program path, the package path and the installer parameter string
// each must fit a buffer of this many bytes, terminating NUL included. A
// path that does not fit is never truncated: the package counts as one that
// cannot be started.
inline constexpr std::size_t FILE_NAME_BUFFER = 1024;

// The service list is queried afresh after every "more data" answer; a list
// that keeps changing must not hang the setup, so after this many rounds the
// probe gives up and answers "not installed".
inline constexpr int MAX_ENUMERATION_ROUNDS = 16;

// The messages, UTF-8 with CR LF line breaks.
// Update warning, shown with the warning icon when the old service exists.
inline constexpr const char* TEXT_UPDATE_WARNING =
    "すでにインストール済みの Mivo をアップデートする場合は\r\n[コントールパネル] - [管理ツール] - [サービス] - [Mivo service] \r\nを停止したのち、アップデートを行ってください。";
// After the first package.
inline constexpr const char* TEXT_FIRST_PACKAGE_DONE =
    "Mivo をインストール頂きまして、ありがとうございます。\r\n引き続き Mivo で利用する画像ファイルをインストール致します。";
// Finished, when an earlier service was found.
inline constexpr const char* TEXT_FINISHED_UPDATE =
    "これでインストールは完了です。\r\n停止した Mivo service を開始してください。";
// Finished, new installation.
inline constexpr const char* TEXT_FINISHED_NEW =
    "これでインストールは完了です。\r\n引き続き Mivo の初期設定及びサービスの登録、起動を行ってください。\r\n\r\n詳細は「管理者マニュアル」の「3.1.1.2 初期設定」「3.1.1.3 サービスのインストール」をご覧ください。";

// Whether a service named SERVICE_NAME is registered, whatever its state.
// False when the service manager cannot be opened, when the enumeration
// fails, and after MAX_ENUMERATION_ROUNDS "more data" answers. Each entry
// looked at is written to the debug output.
bool service_installed(SetupPlatform& platform);

// The installer's parameter string for one package in its Windows form,
// /I "<path>"; used to check that it fits FILE_NAME_BUFFER and for the
// debug output.
std::string installerParameters(const std::string& packagePath);

// Runs the installer on one package and answers whether it exited with 0.
// `relativePackage` is taken relative to the folder of the running program.
// False as well when the installer cannot be started and when the program
// path, the package path or the parameter string would not fit
// FILE_NAME_BUFFER.
bool run_package(SetupPlatform& platform, const std::string& relativePackage);

// The whole run: warn about an earlier service, run the first package, tell
// the administrator it went well, run the second, and say what to do next.
// A failed or cancelled package ends the run silently after the messages
// already shown. Returns the process exit code, which is 0 in every case.
int runSetup(SetupPlatform& platform);

}  // namespace MivoSetup
