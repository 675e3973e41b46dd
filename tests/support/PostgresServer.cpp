#include "PostgresServer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zelmar::testing {

namespace fs = std::filesystem;

namespace {

// ZELMAR_POSTGRES_BIN when set, else the newest server binaries Debian
// installed, e.g. /usr/lib/postgresql/15/bin.
std::string FindBinDir() {
    if (const char* chosen = std::getenv("ZELMAR_POSTGRES_BIN"))
        return fs::exists(fs::path(chosen) / "initdb") ? std::string(chosen) : std::string();
    std::error_code ec;
    std::string best;
    int bestVersion = -1;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        const std::string name = entry.path().filename().string();
        const int version = std::atoi(name.c_str());
        const fs::path bin = entry.path() / "bin";
        if (version > bestVersion && fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl")) {
            bestVersion = version;
            best = bin.string();
        }
    }
    return best;
}

// Runs `args` to its end with stdin from /dev/null and stdout and stderr
// appended to `logPath`; returns the exit status, or -1 when it could not run.
int RunCommand(const std::vector<std::string>& args, const std::string& logPath) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// initdb and the server refuse to run as root: a root test run hands them to
// "nobody".
std::vector<std::string> AsServerUser(std::vector<std::string> args) {
    if (geteuid() != 0)
        return args;
    std::vector<std::string> out;
    if (fs::exists("/usr/sbin/runuser") || fs::exists("/sbin/runuser"))
        out = {"runuser", "-u", "nobody", "--"};
    else
        out = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
    out.insert(out.end(), args.begin(), args.end());
    return out;
}

int FreeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(s);
    return port;
}

// The cluster is written whole for every test process: in memory that takes
// a fraction of what it takes on a busy disk. As root the folder must also be
// reachable by "nobody", which /dev/shm and /tmp are.
std::string TemporaryBase() {
    if (fs::is_directory("/dev/shm") && ::access("/dev/shm", W_OK | X_OK) == 0)
        return "/dev/shm";
    return geteuid() == 0 ? std::string("/tmp") : fs::temp_directory_path().string();
}

std::string Tail(const std::string& path, std::size_t lines = 15) {
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    std::ostringstream out;
    for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i)
        out << all[i] << '\n';
    return out.str();
}

} // namespace

PostgresServer& PostgresServer::Shared() {
    static PostgresServer server;
    static const bool started = server.Start();
    (void)started;
    return server;
}

PostgresServer::PostgresServer() = default;

PostgresServer::~PostgresServer() {
    Stop();
}

bool PostgresServer::Fail(const QString& text) {
    failure_ = text;
    running_ = false;
    return false;
}

// An initialised cluster takes seconds to make and every test process needs
// one, so the first process keeps a copy next to the test executable that
// the others copy from.
bool PostgresServer::PrepareCluster(const std::string& bin) {
    const std::string log = folder_ + "/initdb.log";
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const std::string version = fs::path(bin).parent_path().filename().string();
    const std::string cache =
        ec ? std::string() : (exe.parent_path() / ("postgres-cluster-" + version)).string();

    if (!cache.empty() && fs::exists(cache + "/PG_VERSION", ec) &&
        RunCommand({"cp", "-a", cache, dataDir_}, log) == 0)
        return true;
    fs::remove_all(dataDir_, ec);

    if (RunCommand(AsServerUser({bin + "/initdb", "-D", dataDir_, "-U", User().toStdString(),
                                 "--auth=trust", "--encoding=UTF8", "--locale=C", "--no-sync"}),
                   log) != 0)
        return Fail(QStringLiteral("initdb failed:\n%1").arg(QString::fromStdString(Tail(log))));

    if (!cache.empty()) {
        // Copied aside first and renamed, so that a cluster half copied is
        // never taken; a process that loses the race drops its copy.
        const std::string partial = cache + ".partial-" + std::to_string(getpid());
        fs::create_directories(fs::path(cache).parent_path(), ec);
        if (RunCommand({"cp", "-a", dataDir_, partial}, log) == 0) {
            fs::rename(partial, cache, ec);
            if (ec)
                fs::remove_all(partial, ec);
        } else {
            fs::remove_all(partial, ec);
        }
    }
    return true;
}

bool PostgresServer::Start() {
    if (running_)
        return true;
    const std::string bin = FindBinDir();
    if (bin.empty())
        return Fail(QStringLiteral("no PostgreSQL server binaries (initdb, pg_ctl) in "
                                   "$ZELMAR_POSTGRES_BIN or /usr/lib/postgresql/*/bin"));
    pgCtl_ = bin + "/pg_ctl";

    const std::string base = TemporaryBase();
    std::string pattern = base + "/zelmar-pg-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return Fail(QStringLiteral("cannot create a temporary folder in %1")
                        .arg(QString::fromStdString(base)));
    folder_ = pattern;
    dataDir_ = folder_ + "/data";
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || ::chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            return Fail(QStringLiteral("cannot hand %1 to the user nobody")
                            .arg(QString::fromStdString(folder_)));
    }

    if (!PrepareCluster(bin))
        return false;

    const std::string log = folder_ + "/server.log";
    for (int attempt = 0; attempt < 3 && !running_; ++attempt) {
        port_ = FreeLoopbackPort();
        if (port_ == 0)
            return Fail(QStringLiteral("no free loopback port"));
        options_ = "-k " + folder_ + " -c listen_addresses=127.0.0.1 -p " +
                                    std::to_string(port_) +
                                    " -c fsync=off -c synchronous_commit=off"
                                    " -c full_page_writes=off -c max_connections=20"
                                    " -c shared_buffers=16MB";
        running_ = RunCommand(AsServerUser({pgCtl_, "-D", dataDir_, "-l", log, "-w", "-t", "60",
                                            "-s", "-o", options_, "start"}),
                              folder_ + "/pg_ctl.log") == 0;
    }
    if (!running_)
        return Fail(QStringLiteral("the server did not start:\n%1")
                        .arg(QString::fromStdString(Tail(log) + Tail(folder_ + "/pg_ctl.log"))));
    failure_.clear();
    return true;
}

bool PostgresServer::Pause() {
    if (!running_)
        return false;
    running_ = RunCommand(AsServerUser({pgCtl_, "-D", dataDir_, "-m", "fast", "-w", "-s", "stop"}),
                          folder_ + "/pg_ctl.log") != 0;
    return !running_;
}

bool PostgresServer::Resume() {
    if (running_ || folder_.empty())
        return running_;
    running_ = RunCommand(AsServerUser({pgCtl_, "-D", dataDir_, "-l", folder_ + "/server.log",
                                        "-w", "-t", "60", "-s", "-o", options_, "start"}),
                          folder_ + "/pg_ctl.log") == 0;
    return running_;
}

bool PostgresServer::SignalAll(int signal) {
    std::ifstream pidFile(dataDir_ + "/postmaster.pid");
    pid_t postmaster = 0;
    if (!running_ || !(pidFile >> postmaster) || postmaster <= 0)
        return false;
    // The postmaster's children, found by their parent in /proc.
    std::vector<pid_t> pids{postmaster};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == postmaster)
            pids.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    bool ok = true;
    for (pid_t pid : pids)
        ok = ::kill(pid, signal) == 0 && ok;
    return ok;
}

void PostgresServer::Stop() {
    if (running_)
        RunCommand(AsServerUser({pgCtl_, "-D", dataDir_, "-m", "immediate", "-w", "-s", "stop"}),
                   folder_ + "/pg_ctl.log");
    running_ = false;
    if (!folder_.empty()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
        folder_.clear();
    }
}

QString PostgresServer::CreateDatabase(QString* error, const QString& options) {
    const QString name = QStringLiteral("log_%1").arg(++databases_);
    const QString admin = QStringLiteral("zelmar-pg-admin");
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), admin);
        db.setHostName(SocketDir());
        db.setPort(port_);
        db.setUserName(User());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("CREATE DATABASE %1 %2").arg(name, options)))
                failure = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(admin);
    if (failure.isEmpty())
        return name;
    if (error)
        *error = failure;
    return {};
}

QString PostgresServer::SocketUrl(const QString& database) const {
    return QStringLiteral("postgresql://%1@:%2/%3?host=%4")
        .arg(User())
        .arg(port_)
        .arg(database, SocketDir());
}

QString PostgresServer::LoopbackUrl(const QString& database) const {
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(User()).arg(port_).arg(database);
}

} // namespace zelmar::testing
