#include "history/pendinggames.h"

#include "platform/atomicfile.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kFormat = QStringLiteral("yubimaru-pending-game");
constexpr int kVersion = 1;
const QString kSuffix = QStringLiteral(".game");
// A game of five stages holds a few hundred words; a file many times larger
// than any game is not read at all.
constexpr qint64 kMaxFileBytes = qint64(8) << 20;
// Bounds on the parts of a game, far above what a game can hold.
constexpr qsizetype kMaxWords = 100000;
constexpr qsizetype kMaxKanaPerWord = 1000;
constexpr qsizetype kMaxMissesPerKana = 100000;
constexpr int kMaxFigure = 1 << 30;

QJsonValue Optional(const std::optional<int>& value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonObject GameObject(const GameRecord& game) {
    QJsonArray words;
    for (const WordRecord& word : game.wordList) {
        QJsonArray kana;
        for (const KanaRecord& unit : word.kana) {
            QJsonArray misses;
            for (const KeyMiss& miss : unit.misses)
                misses.append(QJsonArray{miss.expected, miss.typed});
            kana.append(QJsonObject{{"kana", unit.kana},
                                    {"spelling", unit.spelling},
                                    {"ms", Optional(unit.ms)},
                                    {"misses", misses}});
        }
        words.append(QJsonObject{{"text", word.text},
                                 {"reactionMs", Optional(word.reactionMs)},
                                 {"completionMs", Optional(word.completionMs)},
                                 {"kana", kana}});
    }
    return QJsonObject{{"uuid", game.uuid},
                       {"started", StartedText(game.started)},
                       {"list", game.list},
                       {"level", game.level},
                       {"wordsPerStage", game.wordsPerStage},
                       {"result", ResultName(game.result)},
                       {"stage", game.stage},
                       {"score", game.score},
                       {"words", game.words},
                       {"keys", game.keys},
                       {"misses", game.misses},
                       {"seconds", game.seconds},
                       {"wordList", words}};
}

// Reads the parts of a game, each checked for its type and range; the first
// part that does not fit makes ok false.
class Reader {
public:
    bool ok = true;

    QString text(const QJsonObject& object, const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        ok = ok && value.isString();
        return value.toString();
    }
    int number(const QJsonObject& object, const char* key, int low, int high) {
        return number(object.value(QLatin1String(key)), low, high);
    }
    int number(const QJsonValue& value, int low, int high) {
        const double n = value.toDouble(std::nan(""));
        ok = ok && value.isDouble() && n == std::floor(n) && n >= low && n <= high;
        return ok ? int(n) : 0;
    }
    std::optional<int> optionalNumber(const QJsonObject& object, const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isNull())
            return std::nullopt;
        return number(value, 0, kMaxFigure);
    }
    QJsonArray array(const QJsonObject& object, const char* key, qsizetype most) {
        const QJsonValue value = object.value(QLatin1String(key));
        ok = ok && value.isArray() && value.toArray().size() <= most;
        return ok ? value.toArray() : QJsonArray();
    }
};

std::optional<GameRecord> GameFrom(const QJsonObject& object) {
    Reader read;
    GameRecord game;
    game.uuid = read.text(object, "uuid");
    game.started = QDateTime::fromString(read.text(object, "started"), Qt::ISODate);
    game.list = read.text(object, "list");
    game.level = read.number(object, "level", 1, 5);
    game.wordsPerStage = read.number(object, "wordsPerStage", 1, kMaxFigure);
    const std::optional<GameResult> result = ResultFromName(read.text(object, "result"));
    game.result = result.value_or(GameResult::Ended);
    game.stage = read.number(object, "stage", 1, 5);
    game.score = read.number(object, "score", -kMaxFigure, kMaxFigure);
    game.words = read.number(object, "words", 0, kMaxFigure);
    game.keys = read.number(object, "keys", 0, kMaxFigure);
    game.misses = read.number(object, "misses", 0, kMaxFigure);
    const QJsonValue seconds = object.value(QLatin1String("seconds"));
    game.seconds = seconds.toDouble(-1);
    if (!read.ok || !result || !game.started.isValid() || QUuid(game.uuid).isNull() ||
        !seconds.isDouble() || !(game.seconds >= 0 && game.seconds < 1e9))
        return std::nullopt;
    for (const auto& wordValue : read.array(object, "wordList", kMaxWords)) {
        const QJsonObject word = wordValue.toObject();
        WordRecord record{read.text(word, "text"),
                          read.optionalNumber(word, "reactionMs"),
                          read.optionalNumber(word, "completionMs"),
                          {}};
        for (const auto& kanaValue : read.array(word, "kana", kMaxKanaPerWord)) {
            const QJsonObject kana = kanaValue.toObject();
            KanaRecord unit{read.text(kana, "kana"),
                            read.text(kana, "spelling"),
                            read.optionalNumber(kana, "ms"),
                            {}};
            for (const auto& missValue : read.array(kana, "misses", kMaxMissesPerKana)) {
                const QJsonArray miss = missValue.toArray();
                read.ok = read.ok && miss.size() == 2 && miss[0].isString() && miss[1].isString();
                unit.misses.append({miss[0].toString(), miss[1].toString()});
            }
            record.kana.append(unit);
        }
        if (!read.ok)
            return std::nullopt;
        game.wordList.append(record);
    }
    return read.ok ? std::optional<GameRecord>(game) : std::nullopt;
}

// The bytes of a regular file no larger than kMaxFileBytes, opened without
// following a link; nothing otherwise.
std::optional<QByteArray> ReadBoundedFile(const QString& file) {
    const int fd =
        ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    QByteArray bytes;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes;
    if (ok) {
        bytes.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            ok = n > 0 || (n < 0 && errno == EINTR);
            done += n > 0 ? n : 0;
        }
    }
    ::close(fd);
    return ok ? std::optional<QByteArray>(bytes) : std::nullopt;
}

// The store's folder when it is a real folder (made when make is true and it
// is missing); empty otherwise, with why.
QString StoreFolder(const QString& historyPath, bool make, QString* error) {
    QString folder = PendingFolder(historyPath);
    struct stat info {};
    const QByteArray name = QFile::encodeName(folder);
    if (::lstat(name.constData(), &info) != 0 && make && ::mkdir(name.constData(), 0777) != 0 &&
        errno != EEXIST) {
        if (error)
            *error = QStringLiteral("フォルダー「%1」を作れません（%2）。")
                         .arg(folder, SystemErrorReason(errno));
        return QString();
    }
    // A link there could lead the games' files into another user's folder.
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error)
            *error =
                QStringLiteral("「%1」がフォルダーではないため、記録待ちのゲームを置けません。")
                    .arg(folder);
        return QString();
    }
    return folder;
}

} // namespace

QString PendingFolder(const QString& historyPath) {
    return JoinPath(QFileInfo(historyPath).absolutePath(), QStringLiteral("history-pending"));
}

QString PendingFile(const QString& historyPath, const GameRecord& game) {
    // The start to the second (as the file keeps it, so a game read back has
    // the same name), zero-padded, so the names sort in the order played.
    const QString name = QStringLiteral("%1-%2")
                             .arg(game.started.toSecsSinceEpoch(), 12, 10, QLatin1Char('0'))
                             .arg(QUuid(game.uuid).toString(QUuid::WithoutBraces));
    return JoinPath(PendingFolder(historyPath), name + kSuffix);
}

bool KeepPendingGame(const QString& historyPath, const GameRecord& game, bool durable,
                     const QString& reason, QString* error) {
    if (StoreFolder(historyPath, true, error).isEmpty())
        return false;
    QJsonObject file{{"format", kFormat}, {"version", kVersion}, {"game", GameObject(game)}};
    if (!reason.isEmpty())
        file.insert(QStringLiteral("reason"), reason);
    return WriteFilesAtomic(
        {{PendingFile(historyPath, game), QJsonDocument(file).toJson(QJsonDocument::Compact),
          durable, LinkPolicy::ReplaceLink}},
        error);
}

QStringList PendingFiles(const QString& historyPath) {
    const QString folder = StoreFolder(historyPath, false, nullptr);
    if (folder.isEmpty())
        return {};
    QStringList files;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QLatin1Char('*') + kSuffix}, QDir::Files | QDir::System, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

std::optional<PendingGame> ReadPendingGame(const QString& file) {
    const std::optional<QByteArray> bytes = ReadBoundedFile(file);
    if (!bytes)
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(*bytes).object();
    if (object.value(QLatin1String("format")).toString() != kFormat ||
        object.value(QLatin1String("version")).toInt() != kVersion)
        return std::nullopt;
    std::optional<GameRecord> game = GameFrom(object.value(QLatin1String("game")).toObject());
    if (!game)
        return std::nullopt;
    return PendingGame{*game, object.value(QLatin1String("reason")).toString()};
}

void ForgetPendingGame(const QString& file) {
    ::unlink(QFile::encodeName(file).constData());
}

QString SetPendingFileAside(const QString& file) {
    const QString aside = file + QStringLiteral(".broken");
    return std::rename(QFile::encodeName(file).constData(), QFile::encodeName(aside).constData()) ==
                   0
               ? aside
               : QString();
}

void RemoveStalePendingFiles(const QString& historyPath) {
    const QString folder = StoreFolder(historyPath, false, nullptr);
    if (!folder.isEmpty())
        RemoveStaleTempFiles(folder);
}

QString PendingSummary(const QString& historyPath) {
    const QStringList files = PendingFiles(historyPath);
    if (files.isEmpty())
        return QString();
    QStringList reasons;
    for (const QString& file : files) {
        const std::optional<PendingGame> pending = ReadPendingGame(file);
        if (pending && !pending->reason.isEmpty() && !reasons.contains(pending->reason))
            reasons.append(pending->reason);
    }
    const QString count = QStringLiteral("記録待ちのゲーム %1 件").arg(files.size());
    return reasons.isEmpty() ? count : count + QStringLiteral("（%1）").arg(reasons.join(u'、'));
}
