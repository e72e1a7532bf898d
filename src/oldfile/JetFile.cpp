#include "oldfile/JetFile.h"

#include "core/OperatorError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <vector>

// mdbtools.h includes these inside its extern "C" block; included first,
// their own C++ guards apply and the block finds them already read.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

namespace {

constexpr int PageSize3 = 2048;
constexpr int PageSize4 = 4096;
constexpr int OffsetMask = 0x1fff;
// Room for the longest Memo in UTF-8 (65,535 characters of up to three
// bytes) and its terminating zero.
constexpr std::size_t TextBindSize = 256 * 1024;
// The library copies each piece of an OLE object into the bound buffer,
// pieces of up to this size.
constexpr std::size_t OleChunkSize = MDB_BIND_SIZE * 64 + MDB_MEMO_OVERHEAD;

QString displayPath(const QString& path)
{
    return QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
}

[[noreturn]] void refuse(const QString& message, const std::string& what)
{
    throw OperatorError(message, what);
}

JetType jetTypeOf(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL: return JetType::Boolean;
    case MDB_BYTE: return JetType::Byte;
    case MDB_INT: return JetType::Integer;
    case MDB_LONGINT: return JetType::LongInteger;
    case MDB_MONEY: return JetType::Currency;
    case MDB_FLOAT: return JetType::Single;
    case MDB_DOUBLE: return JetType::Double;
    case MDB_DATETIME: return JetType::DateTime;
    case MDB_BINARY: return JetType::Binary;
    case MDB_TEXT: return JetType::Text;
    case MDB_OLE: return JetType::OleObject;
    case MDB_MEMO: return JetType::Memo;
    case MDB_REPID: return JetType::ReplicationId;
    case MDB_NUMERIC: return JetType::Numeric;
    default: return JetType::Other;
    }
}

bool bindsText(int mdbType)
{
    return mdbType == MDB_TEXT || mdbType == MDB_MEMO || mdbType == MDB_NUMERIC || mdbType == MDB_OLE;
}

template <typename T>
T littleEndian(const unsigned char* bytes)
{
    return qFromLittleEndian<T>(bytes);
}

struct TableCloser {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;

} // namespace

struct JetFile::Impl {
    MdbHandle* mdb = nullptr;

    ~Impl()
    {
        if (mdb)
            mdb_close(mdb);
    }

    QList<MdbCatalogEntry*> userTables() const
    {
        QList<MdbCatalogEntry*> tables;
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
                tables.append(entry);
        }
        return tables;
    }

    TablePtr open(const QString& name, const QString& path) const
    {
        const QByteArray wanted = name.toUtf8();
        for (MdbCatalogEntry* entry : userTables()) {
            if (wanted == entry->object_name) {
                TablePtr table(mdb_read_table(entry));
                if (!table || !mdb_read_columns(table.get()))
                    refuse(QStringLiteral("旧データのファイル「%1」の表「%2」を読めません。\nファイルが壊れているおそれがあります。")
                               .arg(displayPath(path), name),
                           "Jet table unreadable: " + name.toStdString());
                return table;
            }
        }
        refuse(QStringLiteral("旧データのファイル「%1」に表「%2」がありません。").arg(displayPath(path), name),
               "Jet table missing: " + name.toStdString());
    }
};

JetFile::JetFile(const QString& path, const QByteArray& jet3CodePage) : impl_(std::make_unique<Impl>()), path_(path)
{
    const QString shown = displayPath(path);
    const QFileInfo info(path);
    if (!info.exists())
        refuse(QStringLiteral("旧データのファイル「%1」が見つかりません。\n場所と名前を確かめてください。").arg(path),
               "Jet file missing: " + path.toStdString());

    if (!info.isFile())
        refuse(QStringLiteral("「%1」はファイルではありません。\n旧データのファイル(.mdb)を選んでください。").arg(shown),
               "not a file: " + path.toStdString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("旧データのファイル「%1」を読めません。\n%2").arg(shown, file.errorString()),
               "Jet file unreadable: " + path.toStdString());

    // Every Jet file begins with its first page, which names the format at
    // byte 4; the version follows at byte 20. A file shorter than one page
    // of the older version holds no database.
    const QByteArray head = file.read(PageSize3);
    file.close();
    static const QByteArray jetSignature("Standard Jet DB", 16);
    static const QByteArray aceSignature("Standard ACE DB", 16);
    const QByteArray signature = head.mid(4, 16);
    if (signature == aceSignature)
        refuse(QStringLiteral("「%1」は新しい形式のデータベースです。\n旧データとして読めるのは、以前のプログラムが使っていた形式(.mdb)だけです。")
                   .arg(shown),
               "ACE file, not Jet 3 or 4: " + path.toStdString());
    if (head.size() < PageSize3 || signature != jetSignature || head.at(0) != 0)
        refuse(QStringLiteral("「%1」は旧データのファイルではありません。\n以前のプログラムのデータ(.mdb)を選んでください。").arg(shown),
               "not a Jet file: " + path.toStdString());

    // A file of whole pages; one cut short would lose its last tables
    // without a word from the library.
    const int pageSize = head.at(20) == 0 ? PageSize3 : PageSize4;
    if (info.size() % pageSize != 0)
        refuse(QStringLiteral("旧データのファイル「%1」は途中で切れています。\nファイルが壊れているおそれがあります。").arg(shown),
               "Jet file not of whole pages: " + path.toStdString());

    impl_->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!impl_->mdb)
        refuse(QStringLiteral("旧データのファイル「%1」を読めません。\nファイルが壊れているおそれがあります。").arg(shown),
               "mdb_open failed: " + path.toStdString());
    MdbHandle* mdb = impl_->mdb;

    switch (mdb->f->jet_version) {
    case MDB_VER_JET3: jetVersion_ = 3; break;
    case MDB_VER_JET4: jetVersion_ = 4; break;
    default:
        refuse(QStringLiteral("「%1」は新しい形式のデータベースです。\n旧データとして読めるのは、以前のプログラムが使っていた形式(.mdb)だけです。")
                   .arg(shown),
               "Jet version beyond 4: " + path.toStdString());
    }

    // The library chose its decoding from the environment and the header
    // when it opened the file; replace it before any name or text is read,
    // so the result never depends on the variables of the operator's
    // session nor on a header written by a system of another language.
    mdb_iconv_close(mdb);
    const char* fileCharset = jetVersion_ == 3 ? jet3CodePage.constData() : "UCS-2LE";
    mdb->iconv_in = iconv_open("UTF-8", fileCharset);
    mdb->iconv_out = iconv_open(fileCharset, "UTF-8");
    if (mdb->iconv_in == iconv_t(-1) || mdb->iconv_out == iconv_t(-1))
        refuse(QStringLiteral("旧データの文字コード %1 を扱えません。").arg(QString::fromLatin1(fileCharset)),
               std::string("iconv cannot convert from ") + fileCharset);

    mdb_set_bind_size(mdb, TextBindSize);
    if (!mdb_read_catalog(mdb, MDB_TABLE))
        refuse(QStringLiteral("旧データのファイル「%1」の表の一覧を読めません。\nファイルが壊れているおそれがあります。").arg(shown),
               "mdb_read_catalog failed: " + path.toStdString());
}

JetFile::~JetFile() = default;

int JetFile::declaredCodePage() const
{
    return impl_->mdb->f->code_page;
}

QStringList JetFile::tableNames() const
{
    QStringList names;
    for (MdbCatalogEntry* entry : impl_->userTables())
        names.append(QString::fromUtf8(entry->object_name));
    return names;
}

QList<OldColumn> JetFile::columns(const QString& tableName) const
{
    const TablePtr table = impl_->open(tableName, path_);
    QList<OldColumn> columns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.append({QString::fromUtf8(col->name), jetTypeOf(col->col_type)});
    }
    return columns;
}

void JetFile::readRows(const QString& tableName, const std::function<void(const OldRow&)>& deliver) const
{
    MdbHandle* mdb = impl_->mdb;
    const TablePtr table = impl_->open(tableName, path_);
    const unsigned count = table->num_cols;

    // Text, Memo and Numeric come through the library's decoding into bound
    // buffers; every other kind is read from the row's bytes below.
    std::vector<std::vector<char>> buffers(count);
    std::vector<int> lengths(count, 0);
    std::vector<MdbColumn*> cols(count);
    for (unsigned i = 0; i < count; ++i) {
        cols[i] = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        if (bindsText(cols[i]->col_type)) {
            buffers[i].assign(cols[i]->col_type == MDB_OLE ? OleChunkSize : TextBindSize, '\0');
            mdb_bind_column(table.get(), int(i) + 1, buffers[i].data(), &lengths[i]);
        }
    }

    std::vector<MdbField> fields(count);
    std::vector<const MdbField*> fieldOf(count, nullptr);
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        // The row just read is still on the current page: take it apart
        // again for the null flags (the bound text of an empty and of a null
        // value are alike) and the place of each fixed value. A row written
        // before a column was added holds fewer columns; the rest are null.
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0)
            refuse(QStringLiteral("旧データのファイル「%1」の表「%2」を読めません。\nファイルが壊れているおそれがあります。")
                       .arg(displayPath(path_), tableName),
                   "row lost after fetch: " + tableName.toStdString());
        const int cracked = mdb_crack_row(table.get(), start & OffsetMask, size, fields.data());
        if (cracked < 0)
            refuse(QStringLiteral("旧データのファイル「%1」の表「%2」を読めません。\nファイルが壊れているおそれがあります。")
                       .arg(displayPath(path_), tableName),
                   "row not taken apart: " + tableName.toStdString());
        std::fill(fieldOf.begin(), fieldOf.end(), nullptr);
        for (unsigned f = 0; f < count; ++f)
            if (fields[f].colnum >= 0 && unsigned(fields[f].colnum) < count)
                fieldOf[fields[f].colnum] = &fields[f];

        OldRow row;
        row.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            const MdbField* field = fieldOf[i];
            const MdbColumn* col = cols[i];
            if (!field) {
                row.append(std::monostate{});
                continue;
            }
            // A Yes/No value lives in the null mask alone: a set bit (read
            // as "not null") is Yes.
            if (col->col_type == MDB_BOOL) {
                row.append(!field->is_null);
                continue;
            }
            if (field->is_null) {
                row.append(std::monostate{});
                continue;
            }
            const unsigned char* bytes = mdb->pg_buf + field->start;
            auto needs = [&](int width) {
                if (field->siz < width)
                    refuse(QStringLiteral("旧データのファイル「%1」の表「%2」の列「%3」を読めません。\nファイルが壊れているおそれがあります。")
                               .arg(displayPath(path_), tableName, QString::fromUtf8(col->name)),
                           "short value in " + tableName.toStdString());
            };
            switch (col->col_type) {
            case MDB_BYTE: needs(1); row.append(std::int64_t(bytes[0])); break;
            case MDB_INT: needs(2); row.append(std::int64_t(littleEndian<qint16>(bytes))); break;
            case MDB_LONGINT:
            case MDB_COMPLEX: needs(4); row.append(std::int64_t(littleEndian<qint32>(bytes))); break;
            case MDB_MONEY: needs(8); row.append(Currency::fromTicks(littleEndian<qint64>(bytes))); break;
            case MDB_FLOAT: needs(4); row.append(std::bit_cast<float>(littleEndian<quint32>(bytes))); break;
            case MDB_DOUBLE: needs(8); row.append(std::bit_cast<double>(littleEndian<quint64>(bytes))); break;
            case MDB_DATETIME:
                needs(8);
                row.append(Date::fromSerial(std::bit_cast<double>(littleEndian<quint64>(bytes))));
                break;
            case MDB_TEXT:
            case MDB_MEMO:
            case MDB_NUMERIC: row.append(QString::fromUtf8(buffers[i].data(), lengths[i])); break;
            case MDB_OLE: {
                size_t oleSize = 0;
                void* data = mdb_ole_read_full(mdb, cols[i], &oleSize);
                row.append(QByteArray(static_cast<const char*>(data), qsizetype(data ? oleSize : 0)));
                free(data);
                break;
            }
            default: row.append(QByteArray(reinterpret_cast<const char*>(bytes), field->siz)); break;
            }
        }
        deliver(row);
    }
}
