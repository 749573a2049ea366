#!/usr/bin/env python3
"""A TCP proxy on 127.0.0.1 that holds every chunk for half the added round-trip time in each
direction, keeping order, so that a request and its reply take that much longer.
    delay_proxy.py LISTEN_PORT UPSTREAM_PORT [ROUND_TRIP_MS]   (default 10)
Prints "PORT <n>" once it listens (LISTEN_PORT 0 picks a free one)."""
import asyncio
import sys


async def pump(reader, writer, delay):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def send():
        while True:
            due, data = await queue.get()
            if data is None:
                break
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.create_task(send())
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            queue.put_nowait((loop.time() + delay, data))
    except ConnectionError:
        pass
    queue.put_nowait((loop.time() + delay, None))
    try:
        await sender
    except ConnectionError:
        pass


async def main():
    listen_port, upstream_port = int(sys.argv[1]), int(sys.argv[2])
    delay = (float(sys.argv[3]) if len(sys.argv) > 3 else 10.0) / 2000.0

    async def accept(client_reader, client_writer):
        try:
            up_reader, up_writer = await asyncio.open_connection("127.0.0.1", upstream_port)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(pump(client_reader, up_writer, delay),
                             pump(up_reader, client_writer, delay))

    server = await asyncio.start_server(accept, "127.0.0.1", listen_port)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    try:
        asyncio.run(main())
    except KeyboardInterrupt:
        pass
