#include "output_line.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Bytes left unread on the slave this long mean nobody reads it: the next reader should
// see fresh frames, not minutes-old ones. A slow reader still empties it now and then.
constexpr qint64 staleMs = 2000;

QString systemError(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

bool makeRaw(int fd)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | CRTSCTS);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

} // namespace

OutputLine::~OutputLine()
{
    if (!link_.isEmpty() && QFile::symLinkTarget(link_) == path_)
        ::unlink(QFile::encodeName(link_).constData());
    if (slave_ >= 0)
        ::close(slave_);
    if (fd_ >= 0)
        ::close(fd_);
}

bool OutputLine::openPseudoTerminal(QString &error)
{
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error = systemError(QStringLiteral("posix_openpt"));
        return false;
    }
    char name[256] = {};
    if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || ptsname_r(fd_, name, sizeof name) != 0) {
        error = systemError(QStringLiteral("pseudo-terminal"));
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0 || !makeRaw(slave_)) {
        error = systemError(path_);
        return false;
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool OutputLine::openDevice(const QString &device, QString &error)
{
    path_ = device;
    fd_ = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || !makeRaw(fd_)) {
        error = systemError(device);
        return false;
    }
    return true;
}

bool OutputLine::addLink(const QString &link, QString &error)
{
    const QByteArray name = QFile::encodeName(link);
    struct stat st { };
    // A link left behind by a simulator that was killed is replaced; anything else stays.
    if (::lstat(name.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = QStringLiteral("%1 exists and is not a symbolic link").arg(link);
            return false;
        }
        ::unlink(name.constData());
    }
    if (::symlink(QFile::encodeName(path_).constData(), name.constData()) != 0) {
        error = systemError(link);
        return false;
    }
    link_ = link;
    return true;
}

void OutputLine::write(const QByteArray &bytes)
{
    int waiting = 0;
    if (slave_ >= 0 && ::ioctl(slave_, TIOCINQ, &waiting) == 0) {
        if (waiting == 0 || !lastEmpty_.isValid()) {
            lastEmpty_.start();
        } else if (lastEmpty_.elapsed() > staleMs) {
            tcflush(slave_, TCIFLUSH);
            lastEmpty_.start();
        }
    }
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(left));
        if (n > 0) {
            data += n;
            left -= n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}
