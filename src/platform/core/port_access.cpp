#include "platform/core/port_access.h"

#include <QFileInfo>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

PortAccess systemPortAccess()
{
    PortAccess access;
    access.brltty = QFileInfo::exists(QStringLiteral("/usr/bin/brltty"))
        || QFileInfo::exists(QStringLiteral("/bin/brltty"));
    const passwd *pw = getpwuid(getuid());
    access.user = pw ? QString::fromLocal8Bit(pw->pw_name) : qEnvironmentVariable("USER");
    const group *gr = getgrnam("dialout");
    if (!gr || !pw)
        return access; // nothing to join: the hint cannot name a group
    const gid_t dialout = gr->gr_gid;
    bool member = pw->pw_gid == dialout;
    for (char **m = gr->gr_mem; !member && *m; ++m)
        member = std::strcmp(*m, pw->pw_name) == 0;
    // The groups of this login are the process's, fixed when the user logged in.
    std::vector<gid_t> groups(getgroups(0, nullptr));
    groups.resize(std::max(0, getgroups(int(groups.size()), groups.data())));
    const bool now
        = getegid() == dialout || std::find(groups.begin(), groups.end(), dialout) != groups.end();
    access.dialout = now ? PortAccess::Dialout::InThisLogin
        : member         ? PortAccess::Dialout::FromNextLogin
                         : PortAccess::Dialout::NotMember;
    return access;
}
