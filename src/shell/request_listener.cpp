#include "shell/request_listener.h"

#include <asio.hpp>

#include <array>
#include <cstring>
#include <set>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "platform/request_decoder.h"
#include "platform/socket_options.h"

namespace shell {

namespace {

using asio::ip::tcp;

// What a handler writes is collected and sent after it returns, from the I/O
// thread, so the socket is only ever touched by that one thread.
class CollectingConnection : public platform::TConnection {
 public:
  void Write(std::string_view bytes) override { Bytes.append(bytes); }
  std::string Bytes;
};

}  // namespace

struct TRequestListener::Impl {
  Impl(Dispatch dispatch, unsigned workers)
      : Dispatch_(std::move(dispatch)), Acceptor(Io), Workers(workers) {}

  struct Session : std::enable_shared_from_this<Session> {
    Session(Impl& owner, tcp::socket socket)
        : Owner(owner), Socket(std::move(socket)), LingerTimer(owner.Io) {}

    void ReadMore() {
      auto self = shared_from_this();
      Socket.async_read_some(asio::buffer(Chunk), [self](const asio::error_code& ec, std::size_t n) {
        self->OnRead(ec, n);
      });
    }

    void OnRead(const asio::error_code& ec, std::size_t n) {
      if (ec) {  // closed before the zero byte, or a socket error: given up
        Close();
        return;
      }
      const char* begin = Chunk.data();
      const char* zero = static_cast<const char*>(std::memchr(begin, '\0', n));
      std::size_t take = zero != nullptr ? static_cast<std::size_t>(zero - begin) : n;
      if (Request.size() + take > kMaxRequestBytes) {
        Close();
        return;
      }
      Request.append(begin, take);
      if (zero == nullptr) {
        ReadMore();
        return;
      }
      // Anything after the zero byte is ignored: one request per connection.
      Owner.Serve(shared_from_this());
    }

    void SendAndClose(std::string reply) {
      if (reply.empty()) {
        Close();
        return;
      }
      Reply = std::move(reply);
      auto self = shared_from_this();
      asio::async_write(Socket, asio::buffer(Reply),
                        [self](const asio::error_code& ec, std::size_t) {
                          if (ec) {
                            self->Close();
                            return;
                          }
                          self->Linger();
                        });
    }

    // The end of the stream follows the reply at once; bytes the client sent
    // after its zero byte are read and dropped before closing, since closing
    // on unread bytes resets the connection and can destroy the reply before
    // the client has read it. Bounded by a short timer.
    void Linger() {
      asio::error_code ignored;
      Socket.shutdown(tcp::socket::shutdown_send, ignored);
      auto self = shared_from_this();
      LingerTimer.expires_after(std::chrono::seconds(2));
      LingerTimer.async_wait([self](const asio::error_code& ec) {
        if (!ec) self->Close();
      });
      Drain();
    }

    void Drain() {
      auto self = shared_from_this();
      Socket.async_read_some(asio::buffer(Chunk), [self](const asio::error_code& ec, std::size_t) {
        if (ec) {
          self->Close();
        } else {
          self->Drain();
        }
      });
    }

    void Close() {
      asio::error_code ignored;
      LingerTimer.cancel();
      Socket.shutdown(tcp::socket::shutdown_both, ignored);
      Socket.close(ignored);
      Owner.Sessions.erase(shared_from_this());
    }

    Impl& Owner;
    tcp::socket Socket;
    asio::steady_timer LingerTimer;
    std::array<char, 2048> Chunk{};
    std::string Request;
    std::string Reply;
  };

  void Accept() {
    Acceptor.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
      if (!Acceptor.is_open()) return;
      if (!ec) {
        auto session = std::make_shared<Session>(*this, std::move(socket));
        Sessions.insert(session);
        session->ReadMore();
      }
      // A failed accept (a client gone, too many open files) must not stop
      // the listener; it waits for the next one.
      Accept();
    });
  }

  // On the I/O thread: hand the request to a worker.
  void Serve(std::shared_ptr<Session> session) {
    {
      std::lock_guard<std::mutex> guard(RunningLock);
      ++Running;
    }
    asio::post(Workers, [this, session]() {
      CollectingConnection connection;
      try {
        Dispatch_(connection, platform::DecodeRequestBytes(session->Request));
      } catch (...) {
        // The handler failed: the client gets what it wrote before the error
        // and the connection closes. Nothing is shown or logged for it.
      }
      asio::post(Io, [session, reply = std::move(connection.Bytes)]() mutable {
        if (session->Socket.is_open()) session->SendAndClose(std::move(reply));
      });
      std::lock_guard<std::mutex> guard(RunningLock);
      --Running;
      RunningChanged.notify_all();
    });
  }

  Dispatch Dispatch_;
  asio::io_context Io;
  tcp::acceptor Acceptor;
  asio::thread_pool Workers;
  std::thread IoThread;
  std::set<std::shared_ptr<Session>> Sessions;  // touched on the I/O thread only
  std::mutex RunningLock;
  std::condition_variable RunningChanged;
  std::size_t Running = 0;
};

TRequestListener::TRequestListener(Dispatch dispatch, unsigned workers)
    : Impl_(std::make_unique<Impl>(std::move(dispatch), workers)) {}

TRequestListener::~TRequestListener() {
  try {
    Stop();
  } catch (const std::exception&) {
    // Already past the wait; nothing more to do while being destroyed.
  }
}

void TRequestListener::Start(std::uint16_t port) {
  asio::error_code ec;
  tcp::endpoint endpoint(tcp::v4(), port);
  Impl_->Acceptor.open(endpoint.protocol(), ec);
  if (!ec && platform::ListenerShouldReuseAddress()) {
    Impl_->Acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
  }
  if (!ec) Impl_->Acceptor.bind(endpoint, ec);
  if (!ec) Impl_->Acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    asio::error_code ignored;
    Impl_->Acceptor.close(ignored);
    if (ec == asio::error::address_in_use || ec == asio::error::access_denied) {
      throw std::runtime_error("Could not bind socket. Address and port are already in use.");
    }
    throw std::runtime_error("Could not bind socket. " + ec.message());
  }
  Impl_->Accept();
  Impl_->IoThread = std::thread([this]() {
    auto guard = asio::make_work_guard(Impl_->Io);
    Impl_->Io.run();
  });
  Active_ = true;
}

void TRequestListener::Stop(std::chrono::milliseconds wait) {
  if (!Active_) return;
  Active_ = false;
  Impl& impl = *Impl_;
  asio::post(impl.Io, [&impl]() {
    asio::error_code ignored;
    impl.Acceptor.close(ignored);
    auto sessions = impl.Sessions;  // Close() erases from the set
    for (const auto& session : sessions) session->Close();
  });
  bool ended;
  {
    std::unique_lock<std::mutex> lock(impl.RunningLock);
    ended = impl.RunningChanged.wait_for(lock, wait, [&impl]() { return impl.Running == 0; });
  }
  if (!ended) {
    // Requests still running hold the worker threads; joining them could
    // hang the shutdown for good. They are left to finish on their own.
    impl.Io.stop();
    impl.IoThread.detach();
    (void)Impl_.release();
    throw std::runtime_error("Terminate Thread Timeout");
  }
  impl.Workers.join();
  impl.Io.stop();
  impl.IoThread.join();
}

}  // namespace shell
