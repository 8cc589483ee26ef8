// The explainer's POSIX part: errno names, the device behind a port name, its group and the
// user's membership in it, and the programs that hold it (the UUCP lock file, /proc).
#include "serial/backend.h"
#include "serial/port_error_facts.h"
#include "serial/port_names.h"
#include "serial/posix_extras.h"
#include "serial/uucp_lock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial::detail {

namespace {

struct ErrnoName {
    int value;
    const char* name;
};

// The errors a serial device gives in practice.
constexpr ErrnoName kErrnoNames[] = {
    {EPERM, "EPERM"},     {ENOENT, "ENOENT"},       {EINTR, "EINTR"},
    {EIO, "EIO"},         {ENXIO, "ENXIO"},         {EBADF, "EBADF"},
    {EAGAIN, "EAGAIN"},   {ENOMEM, "ENOMEM"},       {EACCES, "EACCES"},
    {EBUSY, "EBUSY"},     {ENODEV, "ENODEV"},       {ENOTDIR, "ENOTDIR"},
    {EINVAL, "EINVAL"},   {ENFILE, "ENFILE"},       {EMFILE, "EMFILE"},
    {ENOTTY, "ENOTTY"},   {EROFS, "EROFS"},         {ELOOP, "ELOOP"},
    {ENOTSUP, "ENOTSUP"}, {ECANCELED, "ECANCELED"}, {ENAMETOOLONG, "ENAMETOOLONG"},
};

std::string UserName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid); pw && pw->pw_name)
        return pw->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    if (const group* gr = ::getgrgid(gid); gr && gr->gr_name)
        return gr->gr_name;
    return std::to_string(gid);
}

bool ProcessHasGroup(gid_t gid) {
    if (::getegid() == gid)
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return n > 0 && std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

// Whether the user database puts the user into the group (as the next login will).
bool UserListedInGroup(const std::string& user, gid_t gid) {
    if (const passwd* pw = ::getpwnam(user.c_str()); pw && pw->pw_gid == gid)
        return true;
    const group* gr = ::getgrgid(gid);
    if (!gr)
        return false;
    for (char** member = gr->gr_mem; member && *member; ++member)
        if (user == *member)
            return true;
    return false;
}

// "crw-rw----", as ls shows it.
std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400u >> bit)) ? letters[bit] : '-';
    return text;
}

} // namespace

PortFault ClassifyPortError(int code, int osError) {
    if (code == CError_OpenFailed) {
        switch (osError) {
        case EACCES:
        case EPERM:
        case EROFS:
            return PortFault::NoPermission;
        case EBUSY:
            return PortFault::Busy;
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENXIO:
        case ENODEV:
        case EIO:
            return PortFault::Missing;
        default:
            return PortFault::Other;
        }
    }
    return backend::IsDeviceGone(osError) ? PortFault::Disconnected : PortFault::Other;
}

std::string SystemErrorName(int osError) {
    for (const ErrnoName& e : kErrnoNames)
        if (e.value == osError)
            return e.name;
    return std::to_string(osError);
}

std::string DeviceOfPort(const std::string& port) {
    const std::string path = ResolvePortName(port);
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result = real;
        std::free(real);
        return result;
    }
    // A mapping whose device has gone names what it waits for (an adapter's by-id path).
    char target[4096];
    ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : path;
}

std::string NoPermissionAdvice(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return "Проверьте права на устройство " + device + ".";
    const std::string user = UserName(::geteuid());
    const std::string groupName = GroupName(st.st_gid);
    const std::string rights = device + " (" + ModeText(st.st_mode) + ", владелец " +
                               UserName(st.st_uid) + ", группа " + groupName + ")";
    if ((st.st_mode & 060) != 060)
        return "Права устройства " + rights +
               " не дают доступа его группе: попросите администратора разрешить доступ "
               "(правилом udev).";
    if (ProcessHasGroup(st.st_gid))
        return "Пользователь " + user + " входит в группу " + groupName +
               ", но доступ всё равно запрещён: проверьте права устройства " + rights +
               " и правила безопасности системы.";
    if (UserListedInGroup(user, st.st_gid))
        return "Пользователь " + user + " уже добавлен в группу " + groupName +
               ", но эта программа запущена раньше: выйдите из системы и войдите заново.";
    return "Устройство принадлежит группе " + groupName + ". Добавьте пользователя " + user +
           " в эту группу командой\nsudo usermod -aG " + groupName + " " + user +
           "\nи войдите в систему заново.";
}

std::string BusyAdvice(const std::string& device) {
    std::vector<long> holders;
    if (long locker = backend::posix::DeviceLockHolder(device); locker > 0)
        holders.push_back(locker);
    for (long pid : backend::posix::ProcessesHolding(device))
        if (std::find(holders.begin(), holders.end(), pid) == holders.end())
            holders.push_back(pid);
    if (holders.empty())
        return "Какая именно, не видно: её, по-видимому, запустил другой пользователь. "
               "Закройте её и повторите.";
    std::string list;
    for (long pid : holders) {
        std::string name =
            pid == ::getpid() ? "эта же программа" : backend::posix::ProcessName(pid);
        if (name.empty())
            name = "программа";
        list += (list.empty() ? "" : ", ") + name + " (процесс " + std::to_string(pid) + ")";
    }
    return "Порт держит " + list + ". Закройте её и повторите.";
}

} // namespace serial::detail
