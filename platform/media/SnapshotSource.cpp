#include "platform/media/SnapshotSource.h"

#include <fcntl.h>
#include <gst/base/gstbasesrc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <new>

#include "platform/ipc/UniqueFd.h"

using quillo::audio::SnapshotSource;

// The GObject side of the element. The instance holds the snapshot through a shared pointer that
// is constructed in place when the instance is made and destroyed in finalize.
struct QuilloSnapshotSrc {
  GstBaseSrc parent;
  std::shared_ptr<const SnapshotSource::Bytes> snapshot;
};
struct QuilloSnapshotSrcClass {
  GstBaseSrcClass parent_class;
};

G_DEFINE_TYPE(QuilloSnapshotSrc, quillo_snapshot_src, GST_TYPE_BASE_SRC)

namespace {

QuilloSnapshotSrc* Self(gpointer object) {
  return reinterpret_cast<QuilloSnapshotSrc*>(object);
}

std::uint64_t SnapshotSize(const QuilloSnapshotSrc* self) {
  return self->snapshot ? self->snapshot->size() : 0;
}

gboolean GetSize(GstBaseSrc* source, guint64* size) {
  *size = SnapshotSize(Self(source));
  return TRUE;
}

gboolean IsSeekable(GstBaseSrc*) {
  return TRUE;
}

// Streaming thread. A read past the end is cut at the end; a read at or beyond it is end of
// stream. Never waits.
GstFlowReturn Fill(GstBaseSrc* source, guint64 offset, guint length, GstBuffer* buffer) {
  QuilloSnapshotSrc* self = Self(source);
  const std::uint64_t total = SnapshotSize(self);
  if (offset >= total) return GST_FLOW_EOS;
  const gsize count = static_cast<gsize>(std::min<std::uint64_t>(length, total - offset));
  gst_buffer_fill(buffer, 0, self->snapshot->data() + offset, count);
  gst_buffer_set_size(buffer, static_cast<gssize>(count));
  GST_BUFFER_OFFSET(buffer) = offset;
  GST_BUFFER_OFFSET_END(buffer) = offset + count;
  return GST_FLOW_OK;
}

void Finalize(GObject* object) {
  using Snapshot = std::shared_ptr<const SnapshotSource::Bytes>;
  Self(object)->snapshot.~Snapshot();
  G_OBJECT_CLASS(quillo_snapshot_src_parent_class)->finalize(object);
}

GstStaticPadTemplate kSourceTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

}  // namespace

static void quillo_snapshot_src_class_init(QuilloSnapshotSrcClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = Finalize;
  GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
  gst_element_class_add_static_pad_template(element_class, &kSourceTemplate);
  gst_element_class_set_static_metadata(element_class, "Snapshot source", "Source/File",
                                        "Serves a copy of a file taken when the graph is built",
                                        "Quillo");
  GstBaseSrcClass* base_class = GST_BASE_SRC_CLASS(klass);
  base_class->get_size = GetSize;
  base_class->is_seekable = IsSeekable;
  base_class->fill = Fill;
}

static void quillo_snapshot_src_init(QuilloSnapshotSrc* self) {
  new (&self->snapshot) std::shared_ptr<const SnapshotSource::Bytes>();
  gst_base_src_set_format(GST_BASE_SRC(self), GST_FORMAT_BYTES);
  gst_base_src_set_dynamic_size(GST_BASE_SRC(self), FALSE);
}

namespace quillo::audio {

void SnapshotSource::Register() {
  static std::once_flag once;
  std::call_once(once, [] {
    gst_element_register(nullptr, kElementName, GST_RANK_NONE, quillo_snapshot_src_get_type());
  });
}

std::shared_ptr<const SnapshotSource::Bytes> SnapshotSource::TakeSnapshot(const std::string& path) {
  // A plain read-only open: on this system it neither blocks nor is blocked by the writer.
  ipc::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  auto bytes = std::make_shared<Bytes>();
  try {
    bytes->resize(static_cast<std::size_t>(info.st_size));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  std::size_t done = 0;
  while (done < bytes->size()) {
    ssize_t got = ::read(fd.get(), bytes->data() + done, bytes->size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return nullptr;  // shorter than its size a moment ago: no snapshot
    done += static_cast<std::size_t>(got);
  }
  return bytes;
}

GstObjectPtr<GstElement> SnapshotSource::Create(std::shared_ptr<const Bytes> snapshot,
                                                const std::string& name) {
  Register();
  GstElement* element = gst_element_factory_make(kElementName, name.c_str());
  if (element == nullptr) return nullptr;
  Self(element)->snapshot = std::move(snapshot);
  return GstObjectPtr<GstElement>(GST_ELEMENT(gst_object_ref_sink(element)));
}

}  // namespace quillo::audio
