#include "StudioJournal.h"

namespace corvane::demo {

namespace {

// Fields are separated by tabs; a tab, a line end or a backslash inside one is escaped.
QByteArray escaped(const QString& text) {
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescaped(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char next = field[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return QString::fromUtf8(out);
}

QByteArray flags(const ChannelState& state) {
    QByteArray text(state.on ? "T" : "F");
    for (bool bus : state.pgmBusOn) {
        text += bus ? 'T' : 'F';
    }
    return text;
}

} // namespace

StudioJournal::StudioJournal(const QString& path, const QString& writer)
    : m_writer(writer), m_file(path), m_reader(path) {}

bool StudioJournal::open() {
    return m_file.open(QIODevice::Append | QIODevice::Unbuffered) &&
           m_reader.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

QByteArray StudioJournal::encode(const QString& writer, const StudioChange& change) {
    QList<QByteArray> fields{escaped(writer)};
    if (const auto* property = std::get_if<PropertySetting>(&change)) {
        fields << "P" << escaped(property->panel) << escaped(property->control)
               << escaped(property->property) << escaped(property->value);
    } else {
        const auto& channel = std::get<ChannelSetting>(change);
        fields << "C" << QByteArray::number(channel.point.router)
               << QByteArray::number(channel.point.io) << (channel.point.isDest ? "D" : "S")
               << flags(channel.state) << QByteArray::number(channel.state.gainDb, 'g', 17);
    }
    return fields.join('\t') + '\n';
}

std::optional<std::pair<QString, StudioChange>> StudioJournal::decode(const QByteArray& line) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() == 6 && fields[1] == "P") {
        return std::pair{unescaped(fields[0]),
                         StudioChange{PropertySetting{unescaped(fields[2]), unescaped(fields[3]),
                                                      unescaped(fields[4]), unescaped(fields[5])}}};
    }
    if (fields.size() != 7 || fields[1] != "C" || fields[5].size() != 5) {
        return std::nullopt;
    }
    bool routerOk = false;
    bool ioOk = false;
    bool gainOk = false;
    ChannelSetting channel;
    channel.point = {fields[2].toInt(&routerOk), fields[3].toInt(&ioOk), fields[4] == "D"};
    channel.state.on = fields[5][0] == 'T';
    for (int bus = 0; bus < 4; ++bus) {
        channel.state.pgmBusOn[bus] = fields[5][bus + 1] == 'T';
    }
    channel.state.gainDb = fields[6].toDouble(&gainOk);
    if (!routerOk || !ioOk || !gainOk || !channel.point.isValid()) {
        return std::nullopt;
    }
    return std::pair{unescaped(fields[0]), StudioChange{channel}};
}

void StudioJournal::append(const StudioChange& change) {
    if (m_full || !m_file.isOpen()) {
        return;
    }
    const QByteArray line = encode(m_writer, change);
    if (line.size() > kMaxLineBytes) {
        return;
    }
    if (m_file.size() + line.size() > kMaxBytes) {
        m_full = true;
        return;
    }
    // One write a line: appends of two Cores never interleave within a line.
    m_file.write(line);
}

QList<StudioChange> StudioJournal::readOthers() {
    QList<StudioChange> changes;
    if (!m_reader.isOpen()) {
        return changes;
    }
    for (;;) {
        const QByteArray chunk = m_reader.read(1024 * 1024);
        if (chunk.isEmpty()) {
            break;
        }
        m_partial += chunk;
        qsizetype from = 0;
        for (qsizetype end; (end = m_partial.indexOf('\n', from)) >= 0; from = end + 1) {
            const auto decoded = decode(m_partial.mid(from, end - from));
            if (decoded && decoded->first != m_writer) {
                changes << decoded->second;
            }
        }
        m_partial.remove(0, from);
        if (m_partial.size() > kMaxLineBytes) {
            m_partial.clear(); // a damaged file: go on after the next line end
        }
    }
    return changes;
}

} // namespace corvane::demo
