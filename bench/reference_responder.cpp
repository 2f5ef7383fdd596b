// qelvo-bench-reference: only the framing the server does, as a yardstick.
// One I/O thread, like the server's listener: read up to the zero byte,
// write a fixed reply and its zero byte, close. Usage: <port> <reply file>.
// Prints "listening" once it accepts, and runs until killed.
#include <asio.hpp>

#include <array>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

using asio::ip::tcp;

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, const std::string& reply) : Socket_(std::move(socket)), Reply_(reply) {}

  void Read() {
    auto self = shared_from_this();
    Socket_.async_read_some(asio::buffer(Chunk_), [self](const asio::error_code& ec, std::size_t n) {
      if (ec) return;  // the client went; the socket closes with the session
      if (std::memchr(self->Chunk_.data(), '\0', n) == nullptr) {
        self->Read();
        return;
      }
      asio::async_write(self->Socket_, asio::buffer(self->Reply_),
                        [self](const asio::error_code&, std::size_t) {
                          asio::error_code ignored;
                          self->Socket_.shutdown(tcp::socket::shutdown_send, ignored);
                          self->Drain();
                        });
    });
  }

 private:
  // Closing with unread bytes would reset the connection; the server lingers
  // the same way, so the yardstick pays the same cost.
  void Drain() {
    auto self = shared_from_this();
    Socket_.async_read_some(asio::buffer(Chunk_), [self](const asio::error_code& ec, std::size_t) {
      if (!ec) self->Drain();
    });
  }

  tcp::socket Socket_;
  const std::string& Reply_;
  std::array<char, 2048> Chunk_{};
};

void Accept(tcp::acceptor& acceptor, const std::string& reply) {
  acceptor.async_accept([&acceptor, &reply](const asio::error_code& ec, tcp::socket socket) {
    if (!ec) std::make_shared<Session>(std::move(socket), reply)->Read();
    Accept(acceptor, reply);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: qelvo-bench-reference <port> <reply file>\n";
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  std::string reply = content.str();
  reply.push_back('\0');

  asio::io_context io;
  tcp::acceptor acceptor(io);
  tcp::endpoint endpoint(tcp::v4(), static_cast<unsigned short>(std::stoi(argv[1])));
  acceptor.open(endpoint.protocol());
  acceptor.set_option(tcp::acceptor::reuse_address(true));
  acceptor.bind(endpoint);
  acceptor.listen(asio::socket_base::max_listen_connections);
  Accept(acceptor, reply);
  std::cout << "listening" << std::endl;
  io.run();
}
